#pragma once
// Resource numbers of the hotkey entry (template and its controls).
#define IDD_HOTKEYCONTROL 1915
#define IDC_HK_CTRL 1072
#define IDC_HK_SHIFT 1102
#define IDC_HK_ALT 1001
#define IDC_HK_WIN 1104
#define IDC_HK_KEY 1085
