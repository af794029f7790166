#pragma once
// Resource and control ids of the suggestion popup (4000-4399).
#define IDD_SUGGESTION_UI 4000
#define IDC_SUGGESTION_KEYS 4001
#define IDC_SUGGESTION_LIST 4002
#define IDC_SUGGESTION_ALPHA 4003
#define IDC_SUGGESTION_ROWS 4004
#define IDC_SUGGESTION_COUNT 4005
