#include "maker/PackageWriter.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/BitmapPack.h"
#include "common/Text.h"
#include "maker/FileSerch.h"

namespace {

const int kFileCount = 3;
// Where a list starts; it grows with the tree.
const int kFirstCapacity = 100;

// Lines go out in large writes: a big tree has tens of thousands of them.
class CBufferedFile {
public:
    explicit CBufferedFile(HANDLE file) : m_hFile(file), m_nUsed(0), m_bFailed(0) {}
    virtual ~CBufferedFile() {}
    CBufferedFile(const CBufferedFile &) = delete;
    CBufferedFile &operator=(const CBufferedFile &) = delete;

    void Write(const char *data, size_t length)
    {
        if (m_nUsed + length > sizeof m_Buffer)
            Flush();
        if (length > sizeof m_Buffer) {
            WriteRaw(data, length);
            return;
        }
        std::memcpy(m_Buffer + m_nUsed, data, length);
        m_nUsed += length;
    }
    // 1 when everything written so far reached the file.
    int Finish()
    {
        Flush();
        return !m_bFailed;
    }

private:
    void Flush()
    {
        WriteRaw(m_Buffer, m_nUsed);
        m_nUsed = 0;
    }
    void WriteRaw(const char *data, size_t length)
    {
        if (length == 0 || m_bFailed)
            return;
        DWORD written = 0;
        if (!WriteFile(m_hFile, data, static_cast<DWORD>(length), &written, nullptr) ||
            written != length)
            m_bFailed = 1;
    }

    HANDLE m_hFile;
    char m_Buffer[65536];
    size_t m_nUsed;
    int m_bFailed;
};

HANDLE CreateOutput(const char *path)
{
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A fresh, unique file name in the folder of target (created empty, so no
// one else takes it).
int MakeTempName(const char *target, char *name)
{
    char drive[ptext::kPathSize];
    char folder[ptext::kPathSize];
    char dir[ptext::kPathSize];
    if (!ptext::SplitPath(target, drive, sizeof drive, folder, sizeof folder, nullptr, 0, nullptr, 0) ||
        !ptext::JoinText(dir, sizeof dir, drive, folder))
        return 0;
    if (dir[0] == '\0')
        ptext::CopyText(dir, sizeof dir, ".");
    return GetTempFileNameA(dir, "pvm", 0, name) != 0;
}

int WriteSetupFile(const char *path, const char *appName, const char (*bitmapPaths)[260],
                   const char *packPath, const char *listPath)
{
    char text[kSetupTextSize];
    size_t length = FormatSetupDescription(text, sizeof text, appName, bitmapPaths, packPath, listPath);
    if (length == 0)
        return 0;
    HANDLE file = CreateOutput(path);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
    return CloseHandle(file) && ok && written == length;
}

int WritePack(const char *path, const char (*bitmapPaths)[260], CLeftOutNote *note)
{
    BitmapPackEntry entries[kBitmapCount];
    std::memset(entries, 0, sizeof entries);
    for (int i = 0; i < kBitmapCount; ++i)
        ptext::CopyText(entries[i].szName, sizeof entries[i].szName, bitmapPaths[i]);
    if (WriteBitmapPack(path, entries, kBitmapCount) != kBitmapCount)
        return 0;
    for (int i = 0; i < kBitmapCount; ++i)
        if (bitmapPaths[i][0] != '\0' && entries[i].nDataLength == 0)
            note->AddBitmap(bitmapPaths[i]);
    return 1;
}

int WriteListFile(const char *path, const usrs_class::CFileList &list, int written,
                  size_t sourceLength)
{
    HANDLE file = CreateOutput(path);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int ok;
    {
        CBufferedFile out(file);
        char line[1024];
        std::snprintf(line, sizeof line, "%d\n", written);
        out.Write(line, std::strlen(line));
        for (int j = 0; j < list.GetCount(); ++j) {
            const usrs_class::CFile *entry = list.GetItem(j);
            if (entry && FormatInstallLine(line, sizeof line, *entry, sourceLength))
                out.Write(line, std::strlen(line));
        }
        ok = out.Finish();
    }
    return CloseHandle(file) && ok;
}

// Moves the new files over the targets, keeping each old one under a
// temporary name until all are in place. On failure puts the old ones back.
int PlaceFiles(const char *const *targets, char (*fresh)[MAX_PATH], int *failedIndex)
{
    char backup[kFileCount][MAX_PATH] = {};
    int placed = 0;
    int ok = 1;
    for (; placed < kFileCount; ++placed) {
        const char *target = targets[placed];
        DWORD attributes = GetFileAttributesA(target);
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !MakeTempName(target, backup[placed])) {
                ok = 0;
                break;
            }
            if (!MoveFileExA(target, backup[placed], MOVEFILE_REPLACE_EXISTING)) {
                DeleteFileA(backup[placed]);
                backup[placed][0] = '\0';
                ok = 0;
                break;
            }
        }
        if (!MoveFileExA(fresh[placed], target, MOVEFILE_REPLACE_EXISTING)) {
            if (backup[placed][0] != '\0')
                MoveFileExA(backup[placed], target, MOVEFILE_REPLACE_EXISTING);
            ok = 0;
            break;
        }
        fresh[placed][0] = '\0';
    }
    if (!ok) {
        *failedIndex = placed;
        for (int i = placed - 1; i >= 0; --i) {
            if (backup[i][0] != '\0')
                MoveFileExA(backup[i], targets[i], MOVEFILE_REPLACE_EXISTING);
            else
                DeleteFileA(targets[i]);
        }
        return 0;
    }
    for (int i = 0; i < kFileCount; ++i)
        if (backup[i][0] != '\0')
            DeleteFileA(backup[i]);
    return 1;
}

int Fail(PackageReport *report, int problem, const char *file)
{
    if (report) {
        report->nProblem = problem;
        report->pFailedFile = file;
    }
    return 0;
}

}  // namespace

int WritePackage(const char *infoPath, const char *appName, const char (*bitmapPaths)[260],
                 const char *packPath, const char *listPath, const char *sourceFolder,
                 PackageReport *report)
{
    if (report) {
        report->nProblem = kPackageWritten;
        report->pFailedFile = nullptr;
        report->note.Reset();
    }
    if (!infoPath || !appName || !bitmapPaths || !packPath || !listPath || !sourceFolder)
        return Fail(report, kFileNotWritten, infoPath ? infoPath : "");

    usrs_class::CFileSerch list(kFirstCapacity);
    if (list.Search(sourceFolder, 1, 0) < 0)
        return Fail(report, kSourceNotListed, nullptr);
    size_t sourceLength = std::strlen(sourceFolder);
    CLeftOutNote localNote;
    CLeftOutNote &note = report ? report->note : localNote;
    int written = 0;
    for (int j = 0; j < list.GetCount(); ++j) {
        const usrs_class::CFile *entry = list.GetItem(j);
        char line[1024];
        if (!entry)
            continue;
        if (FormatInstallLine(line, sizeof line, *entry, sourceLength))
            ++written;
        else
            note.AddShortcut(entry->szPath);
    }
    if (written == 0)
        return Fail(report, kNothingToInstall, nullptr);

    const char *const targets[kFileCount] = {infoPath, packPath, listPath};
    char fresh[kFileCount][MAX_PATH] = {};
    int failed = -1;
    for (int i = 0; i < kFileCount && failed < 0; ++i)
        if (!MakeTempName(targets[i], fresh[i]))
            failed = i;
    if (failed < 0 && !WriteSetupFile(fresh[0], appName, bitmapPaths, packPath, listPath))
        failed = 0;
    if (failed < 0 && !WritePack(fresh[1], bitmapPaths, &note))
        failed = 1;
    if (failed < 0 && !WriteListFile(fresh[2], list, written, sourceLength))
        failed = 2;
    if (failed < 0)
        PlaceFiles(targets, fresh, &failed);
    for (int i = 0; i < kFileCount; ++i)
        if (fresh[i][0] != '\0')
            DeleteFileA(fresh[i]);
    if (failed >= 0)
        return Fail(report, kFileNotWritten, targets[failed]);
    return 1;
}
