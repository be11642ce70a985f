// The post-install list: programs that the package author names by hand, run
// one after the other once the installation is done. An .exe is started
// directly, an .msi is handed to Windows Installer.
#ifndef PARVELO_INSTALLER_CORE_POSTINSTALL_H
#define PARVELO_INSTALLER_CORE_POSTINSTALL_H

#include <windows.h>

// Runs every usable line of the list at path (program path TAB display name).
// owner owns the message boxes and may be null; with confirm non-zero the
// user is asked before each start. Returns 1 when the list was read to its
// end, 0 when path is null or the file cannot be opened.
int RunPostInstallList(HWND owner, const char *path, int confirm);

// Asks (when confirm is non-zero), starts commandLine in the current folder
// and waits until it has ended. A start that fails is reported, and with
// installerResult non-zero so is an exit code by which Windows Installer
// reports a failed installation. Returns 1 in every case, so that the list
// goes on.
int RunPostInstallProgram(HWND owner, const char *commandLine, const char *displayName, int confirm,
                          int installerResult = 0);

#endif
