#include "installer/core/InstallList.h"

#include "common/PackageFiles.h"

int CInstallListParser::Begin(const char *data, size_t length, int *declaredCount)
{
    ptext::BeginTokens(&m_Cursor, data, length);
    const char *token;
    size_t tokenLength;
    if (!ptext::NextToken(&m_Cursor, kListCountDelims, &token, &tokenLength))
        return 0;
    long count = ptext::ParseLong32(token, tokenLength);
    if (count <= 0)
        return 0;
    *declaredCount = static_cast<int>(count);
    return 1;
}

int CInstallListParser::NextPair(char *source, char *dest)
{
    const char *token;
    size_t length;
    if (!ptext::NextToken(&m_Cursor, kListTokenDelims, &token, &length))
        return 0;
    ptext::CopyText(source, ptext::kPathSize, token, length);
    if (!ptext::NextToken(&m_Cursor, kListTokenDelims, &token, &length))
        return 0;
    ptext::CopyText(dest, ptext::kPathSize, token, length);
    return 1;
}

int CInstallListParser::CountPairs(int limit) const
{
    ptext::TokenCursor cursor = m_Cursor;
    const char *token;
    size_t length;
    int pairs = 0;
    while (pairs < limit && ptext::NextToken(&cursor, kListTokenDelims, &token, &length) &&
           ptext::NextToken(&cursor, kListTokenDelims, &token, &length))
        ++pairs;
    return pairs;
}

int ProgressPercent(long long total, long long installed)
{
    long long unit = total / 100;
    if (unit <= 0)
        unit = 1;
    long long percent = installed / unit;
    if (percent < 0)
        return 0;
    if (percent > 100)
        return 100;
    return static_cast<int>(percent);
}
