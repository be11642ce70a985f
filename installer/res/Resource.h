// Resource ids of the installer: the five page templates, the icon and the
// controls the pages work with. The progress page's bar and file fields are
// in installer/core/AppMessages.h, since the install worker drives them.
#ifndef PARVELO_INSTALLER_RES_RESOURCE_H
#define PARVELO_INSTALLER_RES_RESOURCE_H

#define IDD_WELCOME 103
#define IDD_INTERRUPTED 104
#define IDD_FOLDER 106
#define IDD_PROGRESS 107
#define IDD_FINISHED 108

#define IDI_PARVELO 104

// Every page.
#define IDC_PAGE_IMAGE 1008

// Welcome page.
#define IDC_APP_NAME 1001
#define IDC_WELCOME_NEXT 1002
#define IDC_WELCOME_CANCEL 1004

// Folder page; the progress page shows the folder in a field of the same id.
#define IDC_FOLDER_CHANGE 1002
#define IDC_FOLDER_CANCEL 1003
#define IDC_FOLDER_BACK 1004
#define IDC_FOLDER_INSTALL 1011
#define IDC_INSTALL_FOLDER 1013

// Progress page.
#define IDC_PROGRESS_CANCEL 1002

// Finished and interrupted pages.
#define IDC_FINISH 1002

#endif
