// Numeric ids of the dialog templates, controls and icon of SETUP.EXE.
// Shared by the resource script and the window-level code.
#ifndef SETUP_RESOURCES_RESOURCE_IDS_H_
#define SETUP_RESOURCES_RESOURCE_IDS_H_

// Dialog templates.
#define IDD_DESTINATION 100     // wizard page: destination folder
#define IDD_UNINSTALL 101       // uninstall dialog
#define IDD_COPY 103            // wizard page: copy progress
#define IDD_FOLDER_PICKER 105   // template of the old-style save dialog
#define IDD_OPTIONS 107         // wizard page: shortcut options

// Icon group.
#define IDI_SETUP 102

// Destination page.
#define IDC_DESTINATION_PROMPT 1000
#define IDC_DESTINATION_EDIT 1001
#define IDC_BROWSE 1002

// Copy page.
#define IDC_PROGRESS 1003
#define IDC_COPY_STATUS 1008
#define IDC_REMOVE_HINT 1012

// Options page.
#define IDC_WANT_DESKTOP 1005
#define IDC_WANT_START_MENU 1006

// Uninstall dialog.
#define IDC_UNINSTALL_STATUS 1010

#endif  // SETUP_RESOURCES_RESOURCE_IDS_H_
