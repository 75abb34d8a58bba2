// Resource identifiers of the notice box (template 110). Also read by the resource
// compiler, so only #defines here.
#pragma once

#define IDD_NOTICE_BOX 110

#define IDC_NB_PANEL 1004
#define IDC_NB_ICON 1000
#define IDC_NB_SEPARATOR 1018
#define IDC_NB_TEXT 1001
#define IDC_NB_OK 1
#define IDC_NB_CANCEL 2
#define IDC_NB_DONT_SHOW 1006
