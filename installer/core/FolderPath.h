// Creating folder paths whose names may hold double-byte characters.
#ifndef PARVELO_INSTALLER_CORE_FOLDERPATH_H
#define PARVELO_INSTALLER_CORE_FOLDERPATH_H

// Creates every missing folder of path (a folder path, with or without its
// closing backslash). Separators are found at character boundaries only, so
// a trail byte 0x5C never splits a name. Returns 1 when the folder exists.
int MakeFolderPath(const char *path);

#endif
