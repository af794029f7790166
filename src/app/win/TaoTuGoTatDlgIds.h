#pragma once
// Resource and control ids of the create-from-clipboard dialog (3800-3999).
#define IDD_TAOTUGOTAT 3800
#define IDC_TAOTUGOTAT_KEY 3801
#define IDC_TAOTUGOTAT_VALUE 3802
#define IDC_TAOTUGOTAT_KEY_LABEL 3803
#define IDC_TAOTUGOTAT_VALUE_LABEL 3804
