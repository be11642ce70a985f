#include "maker/FileSerch.h"

#include <windows.h>

#include <cstring>

#include "common/Text.h"

namespace usrs_class {

namespace {

t_FileTime FromFileTime(const FILETIME &time)
{
    t_FileTime out;
    out.dwLowDateTime = time.dwLowDateTime;
    out.dwHighDateTime = time.dwHighDateTime;
    return out;
}

// A shortcut's address goes in place of its path; its folder tells the
// writer where the downloaded file lands.
void ResolveShortcut(t_FileStatus *record)
{
    if (!ptext::HasExtension(record->szPath, ".url"))
        return;
    char address[ptext::kPathSize] = {};
    GetPrivateProfileStringA("InternetShortcut", "URL", "", address, sizeof address, record->szPath);
    if (address[0] == '\0')
        return;
    char drive[ptext::kPathSize];
    char folder[ptext::kPathSize];
    if (!ptext::SplitPath(record->szPath, drive, sizeof drive, folder, sizeof folder, nullptr, 0,
                          nullptr, 0))
        return;
    std::memset(record->szFolder, 0, sizeof record->szFolder);
    if (!ptext::JoinText(record->szFolder, sizeof record->szFolder, drive, folder))
        return;
    std::memset(record->szPath, 0, sizeof record->szPath);
    ptext::CopyText(record->szPath, sizeof record->szPath, address);
}

}  // namespace

int CFileSerch::Search(const char *folder, int recursive, int depth)
{
    if (!folder)
        return -1;
    if (depth == 0)
        Clear();
    char pattern[ptext::kPathSize];
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA data;
    if (ptext::JoinText(pattern, sizeof pattern, folder, "*"))
        find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) {
        if (depth == 0)
            Clear();
        return -1;
    }
    int count = 0;
    int failed = 0;
    int clearAll = 0;
    do {
        if (std::strcmp(data.cFileName, ".") == 0 || std::strcmp(data.cFileName, "..") == 0)
            continue;
        t_FileStatus record;
        std::memset(&record, 0, sizeof record);
        record.dwFileAttributes = data.dwFileAttributes;
        // A path cut to fit would name another item: fail instead.
        if (!ptext::JoinText(record.szPath, sizeof record.szPath, folder, data.cFileName)) {
            failed = 1;
            clearAll = 1;
            break;
        }
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ResolveShortcut(&record);
        record.ftCreationTime = FromFileTime(data.ftCreationTime);
        record.ftLastAccessTime = FromFileTime(data.ftLastAccessTime);
        record.ftLastWriteTime = FromFileTime(data.ftLastWriteTime);
        record.nFileSizeHigh = data.nFileSizeHigh;
        record.nFileSizeLow = data.nFileSizeLow;
        if (recursive && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            char subFolder[ptext::kPathSize];
            int found = -1;
            if (ptext::JoinText(subFolder, sizeof subFolder, record.szPath, "\\"))
                found = Search(subFolder, recursive, depth + 1);
            if (found < 0) {
                failed = 1;
                break;
            }
            count += found;
        }
        if (!Add(record)) {
            failed = 1;
            clearAll = 1;
            break;
        }
        ++count;
    } while (FindNextFileA(find, &data));
    if (!failed && GetLastError() != ERROR_NO_MORE_FILES) {
        failed = 1;
        clearAll = 1;
    }
    FindClose(find);
    if (failed) {
        if (clearAll && depth == 0)
            Clear();
        return -1;
    }
    return count;
}

}  // namespace usrs_class
