// Numeric resource and control ids, shared by the resource script and the code. Each
// id is named once here; a run of ids is named by its first member.
#ifndef TILO_RESOURCES_RESOURCE_H
#define TILO_RESOURCES_RESOURCE_H

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_CONTROLMENU 105
#define IDD_CONFIG 2003
#define IDD_FRAMERATE 2005

// Decoration of the dialogs.
#define IDI_DECORATION 104
#define IDB_DECORATION 106

// Configuration dialog controls.
#define IDC_ABOUT_BUTTON 16
#define IDC_ENABLE_ANIMATION 1002  // module 1's on/off box
#define IDC_PREVIEW_FRAME 1008
#define IDC_ENABLE_SOUND 1049
// Module m's preview button is IDC_MODULE1 + m - 1, for modules 1..IDC_MODULE_SLOTS.
#define IDC_MODULE1 1024
#define IDC_MODULE_SLOTS 10
// On/off boxes of modules 2 to 10; their ids follow no order. The template holds boxes
// for modules 1 to 5 only.
#define IDC_MODULE2_BOX 1003
#define IDC_MODULE3_BOX 1005
#define IDC_MODULE4_BOX 1007
#define IDC_MODULE5_BOX 1004
#define IDC_MODULE6_BOX 1006
#define IDC_MODULE7_BOX 1009
#define IDC_MODULE8_BOX 1010
#define IDC_MODULE9_BOX 1011
#define IDC_MODULE10_BOX 1012
#define IDC_CYCLE_SPIN 1034
#define IDC_CYCLE_EDIT 1035
#define IDC_ENABLE_ALL 1046
#define IDC_DISABLE_ALL 1047

// Frame-rate warning controls (Continue is IDOK, "Close this Window" IDCANCEL).
#define IDC_REMOVE_TILO 1047
#define IDC_DOWNLOAD_VELIN 1050
#define IDC_DISABLE_WARNING 1052

// About dialog controls (OK is IDOK).
#define IDC_SEND_MAIL 1039
#define IDC_VISIT_SITE 1040
#define IDC_CAMPAIGN_FOR_TIBET 1046
#define IDC_TIBET_SOCIETY 1047

#endif
