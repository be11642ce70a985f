// The texts the maker writes and shows, formatted into caller buffers
// without Win32: setup description, install list lines, list box lines and
// the note on what a package leaves out.
#ifndef PARVELO_MAKER_PACKAGETEXT_H
#define PARVELO_MAKER_PACKAGETEXT_H

#include <cstddef>

#include "maker/FileList.h"

// Room for a whole setup description: every value is bounded, so the
// longest one is about 2 KiB.
const size_t kSetupTextSize = 4096;
// The most of the application name the installer keeps.
const size_t kAppNameMax = 127;
const int kBitmapCount = 5;

// 1 when text begins with exactly "http://".
int IsHttpUrl(const char *text);

// Writes the setup description into out: APP_NAME, DIALOG1 to DIALOG5,
// DIALOGBMPPACK and INSTALL_LIST, each line ending with LF. Returns the
// number of bytes, or 0 when out is too small.
size_t FormatSetupDescription(char *out, size_t size, const char *appName,
                              const char (*bitmapPaths)[260], const char *packPath,
                              const char *listPath);

// The install list line of one found entry, relative to the source folder
// whose text is sourceLength bytes long. A file or folder is "path TAB path
// LF"; a shortcut is "address TAB folder+file LF". Returns 1 with the line,
// or 0 when the entry is a shortcut the installer could not download (it
// is left out of the list).
int FormatInstallLine(char *line, size_t size, const usrs_class::t_FileStatus &entry,
                      size_t sourceLength);

// The list box line of one entry: a shortcut's whole address, otherwise
// the path relative to the source folder.
void FormatListBoxLine(char *line, size_t size, const usrs_class::t_FileStatus &entry,
                       size_t sourceLength);

// What a Create left out: bitmaps that could not be read and shortcuts
// whose address the installer would drop. Keeps the first few of each and
// counts the rest.
class CLeftOutNote {
public:
    static const int kShown = 10;

    CLeftOutNote();
    virtual ~CLeftOutNote();
    CLeftOutNote(const CLeftOutNote &) = delete;
    CLeftOutNote &operator=(const CLeftOutNote &) = delete;

    void Reset();
    void AddBitmap(const char *path);
    void AddShortcut(const char *address);
    int IsEmpty() const { return m_nBitmaps == 0 && m_nShortcuts == 0; }
    int GetBitmapCount() const { return m_nBitmaps; }
    int GetShortcutCount() const { return m_nShortcuts; }
    // The box text: each group's header, its entries one a line (CR LF),
    // "ほか %d 件" for the rest; an empty line between the groups. Returns
    // the number of bytes, 0 when out is too small.
    size_t Format(char *out, size_t size) const;

private:
    char m_szBitmaps[kBitmapCount][260];
    char m_szShortcuts[kShown][260];
    int m_nBitmaps;
    int m_nShortcuts;
};

// Room for the longest note Format writes.
const size_t kLeftOutTextSize = 8192;

#endif
