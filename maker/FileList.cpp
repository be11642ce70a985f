#include "maker/FileList.h"

#include <cstring>
#include <new>

#include "common/Text.h"

namespace usrs_class {

CFile::CFile() : t_FileStatus(), m_bUse(0) {}

CFile::~CFile()
{
    m_bUse = 0;
}

int CFile::SetStatus(const t_FileStatus &status)
{
    dwFileAttributes = status.dwFileAttributes;
    ptext::CopyText(szPath, sizeof szPath, status.szPath, sizeof status.szPath);
    ptext::CopyText(szFolder, sizeof szFolder, status.szFolder, sizeof status.szFolder);
    ftCreationTime = status.ftCreationTime;
    ftLastAccessTime = status.ftLastAccessTime;
    ftLastWriteTime = status.ftLastWriteTime;
    nFileSizeHigh = status.nFileSizeHigh;
    nFileSizeLow = status.nFileSizeLow;
    return 1;
}

namespace {

const char *CopyOut(const char *text, char *buffer, int length)
{
    if (buffer && length > 0) {
        // At most length bytes and no terminator of its own: the callers
        // pass one byte less than their buffer holds.
        size_t limit = static_cast<size_t>(length);
        const char *end = text + std::strlen(text);
        size_t n = 0;
        while (text + n < end) {
            size_t len = ptext::CharLength(text + n, end);
            if (n + len > limit)
                break;
            n += len;
        }
        std::memcpy(buffer, text, n);
        std::memset(buffer + n, 0, limit - n);
    }
    return text;
}

}  // namespace

const char *CFile::GetPath(char *buffer, int length) const
{
    return CopyOut(szPath, buffer, length);
}

const char *CFile::GetFolder(char *buffer, int length) const
{
    return CopyOut(szFolder, buffer, length);
}

CFileList::CFileList(int capacity) : m_pFile(nullptr), m_nUse(0), m_nMax(0)
{
    if (capacity <= 0)
        return;
    m_pFile = new (std::nothrow) CFile[static_cast<size_t>(capacity)];
    if (m_pFile)
        m_nMax = capacity;
}

CFileList::~CFileList()
{
    delete[] m_pFile;
    m_pFile = nullptr;
    m_nUse = 0;
    m_nMax = 0;
}

int CFileList::Grow()
{
    const int kFirstCapacity = 16;
    if (m_nMax > 0x3FFFFFFF)
        return 0;
    int capacity = m_nMax > 0 ? m_nMax * 2 : kFirstCapacity;
    CFile *slots = new (std::nothrow) CFile[static_cast<size_t>(capacity)];
    if (!slots)
        return 0;
    for (int i = 0; i < m_nMax; ++i) {
        slots[i].SetStatus(m_pFile[i]);
        slots[i].m_bUse = m_pFile[i].m_bUse;
    }
    delete[] m_pFile;
    m_pFile = slots;
    m_nMax = capacity;
    return 1;
}

int CFileList::Add(const t_FileStatus &entry)
{
    // Entries go into the lowest free slot and Clear frees all of them at
    // once, so the used slots are always 0 .. m_nUse - 1 and the lowest free
    // one is m_nUse.
    if (m_nUse >= m_nMax && !Grow())
        return 0;
    CFile &slot = m_pFile[m_nUse];
    slot.SetStatus(entry);
    slot.m_bUse = 1;
    ++m_nUse;
    return 1;
}

int CFileList::Clear()
{
    if (m_nUse <= 0)
        return 0;
    int freed = 0;
    for (int i = 0; i < m_nMax; ++i) {
        if (m_pFile[i].m_bUse == 1) {
            m_pFile[i].m_bUse = 0;
            --m_nUse;
            ++freed;
        }
    }
    return freed > 0 ? 1 : 0;
}

CFile *CFileList::GetItem(int index) const
{
    if (index < 0 || index >= m_nMax)
        return nullptr;
    return &m_pFile[index];
}

}  // namespace usrs_class
