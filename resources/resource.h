#pragma once
// Numeric ids shared by the resource script and the code. Resources the code
// finds by name (icon, cursor, pictures, sounds) are named in the script and
// have no id here.

// Resources: 100-199.
#define IDR_MENU 100

// Child-window control ids: 0-9.
#define IDC_AUTO 0
#define IDC_CLEAR 1
#define IDC_VIEW 3

// Menu commands: 40000-59999.
#define IDM_HOME_PAGE 40004
#define IDM_SAVE_IMAGE 57604
#define IDM_ABOUT 57664
#define IDM_EXIT 57665
