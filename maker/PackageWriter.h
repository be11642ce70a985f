// Writes a package: the setup description, the dialog bitmap pack and the
// install list, replaced together or not at all.
#ifndef PARVELO_MAKER_PACKAGEWRITER_H
#define PARVELO_MAKER_PACKAGEWRITER_H

#include "maker/PackageText.h"

enum PackageProblem {
    kPackageWritten = 0,
    // The source folder, or a folder under it, could not be listed.
    kSourceNotListed,
    // No entry would reach the install list.
    kNothingToInstall,
    // A file could not be written or put in place: see pFailedFile.
    kFileNotWritten,
};

struct PackageReport {
    int nProblem;
    // The path of the package file that failed (one of the three given).
    const char *pFailedFile;
    // What a written package leaves out.
    CLeftOutNote note;
};

// Searches sourceFolder (ending with a backslash), writes the three files
// under temporary names next to their targets and moves them in place only
// when all three are complete; a failure leaves the older files as they
// were. Returns 1 when the package was written, 0 otherwise (report says
// why, when given).
int WritePackage(const char *infoPath, const char *appName, const char (*bitmapPaths)[260],
                 const char *packPath, const char *listPath, const char *sourceFolder,
                 PackageReport *report);

#endif
