// Resource identifiers of the update list dialog (template 100). Also read by the
// resource compiler, so only #defines here.
#pragma once

#define IDD_UPDATE_LIST 100
#define IDI_TENDWELL 103

#define IDC_UL_INTRO 1015
#define IDC_UL_LIST 1000
#define IDC_UL_SHOW_ALL 1017
#define IDC_UL_NAME_LABEL 1001
#define IDC_UL_INSTALLED_LABEL 1002
#define IDC_UL_LATEST_LABEL 1003
#define IDC_UL_AUTHOR_LABEL 1004
#define IDC_UL_DATE_LABEL 1005
#define IDC_UL_NAME 1006
#define IDC_UL_INSTALLED 1007
#define IDC_UL_LATEST 1008
#define IDC_UL_AUTHOR 1009
#define IDC_UL_DATE 1010
#define IDC_UL_SPLITTER 1018
#define IDC_UL_DETAILS 1011
#define IDC_UL_HIDDEN_NOTE 1016
#define IDC_UL_SHOW_HIDDEN 1014
#define IDC_UL_CLOSE 2
#define IDC_UL_INSTALL 1013
