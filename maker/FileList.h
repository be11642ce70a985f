// The maker's list of found entries: one slot per file, folder or resolved
// Internet shortcut. Portable, so the list itself is tested natively.
#ifndef PARVELO_MAKER_FILELIST_H
#define PARVELO_MAKER_FILELIST_H

#include <cstddef>
#include <cstdint>

namespace usrs_class {

// A time as the directory listing gives it, low half first.
struct t_FileTime {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};

struct t_FileStatus {
    uint32_t dwFileAttributes;
    // The item's full path; for a resolved shortcut, its address.
    char szPath[260];
    // Resolved shortcut only: the folder of the shortcut file, with its
    // closing backslash. Empty for every other entry.
    char szFolder[260];
    t_FileTime ftCreationTime;
    t_FileTime ftLastAccessTime;
    t_FileTime ftLastWriteTime;
    uint32_t nFileSizeHigh;
    uint32_t nFileSizeLow;
};

const uint32_t kAttributeDirectory = 0x10;

class CFile : public t_FileStatus {
public:
    CFile();
    virtual ~CFile();
    CFile(const CFile &) = delete;
    CFile &operator=(const CFile &) = delete;

    // Copies every field of status (texts cut at a character boundary);
    // leaves m_bUse alone. Returns 1.
    int SetStatus(const t_FileStatus &status);
    // Returns szPath; with a buffer and a length above 0 also copies it
    // there (at most length bytes, rest NUL-filled, never splitting a
    // character).
    const char *GetPath(char *buffer, int length) const;
    const char *GetFolder(char *buffer, int length) const;
    // 1 when the entry came from a shortcut whose address was read.
    int IsShortcut() const { return szFolder[0] != '\0'; }
    int IsUsed() const { return m_bUse; }

private:
    friend class CFileList;
    int m_bUse;
};

class CFileList {
public:
    // capacity is where the slot array starts; it grows as entries are
    // added. A failed allocation leaves the list without storage.
    explicit CFileList(int capacity);
    virtual ~CFileList();
    CFileList(const CFileList &) = delete;
    CFileList &operator=(const CFileList &) = delete;

    // Puts the entry into the lowest free slot, growing the array when all
    // are taken. 0 only when the larger array cannot be allocated.
    int Add(const t_FileStatus &entry);
    // Frees every slot; 0 when the list was already empty.
    int Clear();
    int GetCount() const { return m_nUse; }
    // The slot at index, used or not; null outside 0 .. capacity - 1.
    CFile *GetItem(int index) const;
    int GetCapacity() const { return m_nMax; }

private:
    int Grow();

    CFile *m_pFile;
    int m_nUse;
    int m_nMax;
};

}  // namespace usrs_class

#endif
