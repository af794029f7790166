#pragma once
// Resource numbers of the main dialog, its option pages and the about box.
// Plain #defines: read by the resource compiler and by the portable logic.

// Templates.
#define IDD_MAIN 1900
#define IDD_PAGE_GOTAT 1908
#define IDD_PAGE_CHINHTA 1907
#define IDD_PAGE_SUALOI 1911
#define IDD_PAGE_GOIY 1909
#define IDD_PAGE_PHIMTAT 1910
#define IDD_PAGE_HETHONG 1912
#define IDD_ABOUT 1901

// Main area.
#define IDC_ABOUT 1000
#define IDC_APPLY 1002
#define IDC_THUNHO 1010
#define IDC_KEYHELP 1016
#define IDC_TAOKIEUGO 1028
#define IDC_RUNATLOGIN 1056
#define IDC_BANGMA 1064
#define IDC_KIEUGO 1068
#define IDC_LBL_PHIMCHUYEN 1093
#define IDC_TABS 1103
#define IDC_PAGEMENU 1113
#define IDC_LBL_KIEUGO 1120
#define IDC_LBL_BANGMA 1121

// Page "Gõ tắt".
#define IDC_SOANGOTAT 1004
#define IDC_GOTAT 1048
#define IDC_XULYHOATHUONG 1063
#define IDC_GOTATKHITAT 1049
#define IDC_GOTATPAD 1052
#define IDC_GOTATPAC 1051
// Page "Chính tả".
#define IDC_BODAUTHANHKIEU2 1034
#define IDC_PADTUDO 1054
#define IDC_UODIKEMPAC 1061
#define IDC_NA_PAC_DACBIET 1079
#define IDC_LBL_NA_PAC_DACBIET 1122
#define IDC_KHOIPHUCPHIM 1053
#define IDC_DUNGTUDIEN 1045
#define IDC_GOLIENTUC 1047
// Page "Sửa lỗi".
#define IDC_TUTHEMDAUSAC 1060
#define IDC_SUALOITUDON 1057
#define IDC_SUALOITUGHEP 1058
// Page "Gợi ý từ".
#define IDC_SUGGESTION 1031
#define IDC_SOLUONGTU 1071
#define IDC_LBL_SOLUONGTU 1123
#define IDC_LBL_PHIMGOIY 1094
#define IDC_MANUALPOSITION 1033
#define IDC_HOOKUPDOWN 1032
// Page "#".
#define IDC_LBL_PHIMKHOIPHUC 1095
#define IDC_LBL_PHIMCLEAR 1117
// Page "Hệ thống".
#define IDC_MOUSEHOOK 1046
#define IDC_CPUCAO 1035
#define IDC_CLIPBOARD 1043
#define IDC_RESTORECLIPBOARD 1055
#define IDC_DETECTAUTOCOMPLETE 1044

// Hotkey controls placed in code.
#define IDC_HK_PHIMCHUYEN 1130
#define IDC_HK_PHIMGOIY 1131
#define IDC_HK_PHIMKHOIPHUC 1132
#define IDC_HK_PHIMCLEAR 1133

// About box.
#define IDC_ABOUT_TEXT 1099
