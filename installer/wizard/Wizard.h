// The installer wizard: its global objects, the five pages and the page
// changes they share. Everything here belongs to the main thread.
#ifndef PARVELO_INSTALLER_WIZARD_WIZARD_H
#define PARVELO_INSTALLER_WIZARD_WIZARD_H

#include <windows.h>

#include "common/Window.h"
#include "installer/core/DataManager.h"
#include "installer/core/InitApp.h"
#include "installer/wizard/Image.h"

extern usrs_class::CWindow g_MainWindow;
extern CInitApp g_InitApp;
extern CDataManager g_DataManager;
extern CImage g_WelcomeImage;
extern CImage g_InterruptedImage;
extern CImage g_FolderImage;
extern CImage g_ProgressImage;
extern CImage g_FinishedImage;

extern int g_nQuit;
extern HWND g_hWelcomePage;
extern HWND g_hInterruptedPage;
extern HWND g_hFolderPage;
extern HWND g_hProgressPage;
extern HWND g_hFinishedPage;

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WelcomeDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InterruptedDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FolderDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgressDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FinishedDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Moves next onto current's screen rectangle. 1 on success.
int FitWindowRect(HWND current, HWND next, BOOL repaint);
// Shows to in place of from; a switch to the interrupted page also raises
// the abort flag.
void SwitchPage(HWND from, HWND to);
// Hides the last page and closes the main window, which ends the main loop.
void EndWizard(HWND page);

// Caption and small icon, as every page sets them when it is created.
void InitPage(HWND page);
// Draws image's source rectangle into the page's image frame.
void DrawPageImage(HWND page, CImage *image, const RECT &source);

// Progress page: starts the installation into folder; a start that fails
// is reported and leads to the interrupted page.
void StartInstallation(HWND progressPage, const char *folder);

// Source rectangles of the two picture shapes.
extern const RECT kTallImageRect;
extern const RECT kWideImageRect;

#endif
