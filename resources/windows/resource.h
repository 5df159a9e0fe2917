// Resource and control IDs shared by the program's code, its .rc file and
// the tests that drive it.
#ifndef TEXT_TO_MD5_RESOURCE_H
#define TEXT_TO_MD5_RESOURCE_H

// The application icon's group; its images are 30001 to 30003.
#define IDI_APP 1

// The main window's controls. Never IDOK (1) or IDCANCEL (2): IsDialogMessage
// sends those for Enter and Esc, which are to press no button.
#define IDC_TXT_TEXT 101
#define IDC_TXT_MD5 102
#define IDC_CMD_CLOSE_FIRST 110  // + the button's index in cmdClose

#endif
