// Names and keys of the package files that the maker writes and the
// installer reads.
#ifndef PARVELO_COMMON_PACKAGEFILES_H
#define PARVELO_COMMON_PACKAGEFILES_H

// File names.
const char kSetupFileName[] = "ParveloInfo.txt";
const char kBitmapPackFileName[] = "DialogBmp.pak";
const char kInstallListFileName[] = "Parvelo.txt";
const char kPostInstallListPath[] = ".\\ParveloAfter.txt";

// Keys of the setup description.
const char kKeyAppName[] = "APP_NAME";
const char kKeyDialog1[] = "DIALOG1";
const char kKeyDialog2[] = "DIALOG2";
const char kKeyDialog3[] = "DIALOG3";
const char kKeyDialog4[] = "DIALOG4";
const char kKeyDialog5[] = "DIALOG5";
const char kKeyDialogBmpPack[] = "DIALOGBMPPACK";
const char kKeyInstallList[] = "INSTALL_LIST";

// Install list: the count line ends with LF, an entry is source TAB
// destination LF.
const char kListCountDelims[] = "\n";
const char kListTokenDelims[] = "\n\t\r";

#endif
