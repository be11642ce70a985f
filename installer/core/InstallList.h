// The install list: a count line, then pairs of source and destination
// texts. Parsing works on bytes held in memory and never modifies them.
#ifndef PARVELO_INSTALLER_CORE_INSTALLLIST_H
#define PARVELO_INSTALLER_CORE_INSTALLLIST_H

#include <cstddef>

#include "common/Text.h"

struct InstallEntry {
    char szSource[260];
    char szDest[260];
    long long llSize;
    // Set when the local source is a folder: the entry creates that folder.
    int bFolder;
};

class CInstallListParser {
public:
    // Takes the count token (LF-separated) and converts it. Returns 0 when
    // there is no count token or the count is not above 0.
    int Begin(const char *data, size_t length, int *declaredCount);
    // Next source/destination pair, each cut to 259 bytes without splitting
    // a character. Returns 0 when no whole pair is left.
    int NextPair(char *source, char *dest);
    // Number of whole pairs from the current position, at most limit. Does
    // not move the position.
    int CountPairs(int limit) const;

private:
    ptext::TokenCursor m_Cursor;
};

// Percentage of installed bytes on the 0..100 bar: unit = total / 100 (at
// least 1), 64-bit throughout.
int ProgressPercent(long long total, long long installed);

#endif
