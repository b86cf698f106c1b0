// Numeric resource and control ids, shared by the resource script and the code.
#ifndef TILO_RESOURCES_RESOURCE_H
#define TILO_RESOURCES_RESOURCE_H

#define IDD_ABOUT 100
#define IDD_CONTROLMENU 105
#define IDD_CONFIG 2003
#define IDD_FRAMERATE 2005

#define IDI_DECORATION 104
#define IDB_DECORATION 106

#define IDC_ABOUT_BUTTON 16
#define IDC_ENABLE_ANIMATION 1002
#define IDC_PREVIEW_FRAME 1008
#define IDC_ENABLE_SOUND 1049

#endif
