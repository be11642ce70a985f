// The installer's private window messages and the progress page controls
// that the install worker drives. All messages go with SendMessageA,
// wParam 0 and lParam 0.
#ifndef PARVELO_INSTALLER_CORE_APPMESSAGES_H
#define PARVELO_INSTALLER_CORE_APPMESSAGES_H

// Worker to progress page: every listed entry was installed.
#define WM_APP_INSTALL_FINISHED 0x8001
// Pages to interrupted page: the user cancelled; raise the abort flag.
#define WM_APP_CANCEL_INSTALL 0x8002
// Worker to progress page: the run ended without installing everything.
#define WM_APP_INSTALL_FAILED 0x8003

// Progress page controls.
#define IDC_INSTALL_PROGRESS 1005
#define IDC_INSTALL_DEST 1014
#define IDC_INSTALL_SOURCE 1015

#endif
