// Double-byte-aware text helpers for Shift_JIS (code page 932) strings.
// A trail byte may have the value of '\\' or '/', so separators are only ever
// looked for at character boundaries.
#ifndef PARVELO_COMMON_TEXT_H
#define PARVELO_COMMON_TEXT_H

#include <cstddef>

namespace ptext {

// Paths and names live in buffers of this size (259 bytes of text).
const size_t kPathSize = 260;

inline bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the character starting at p (1 or 2); a lead byte followed by
// the end of the text counts as one byte.
inline size_t CharLength(const char *p, const char *end)
{
    return (IsLeadByte((unsigned char)*p) && p + 1 < end && p[1] != '\0') ? 2 : 1;
}

// Tokenizer whose position belongs to the caller. The text is never modified;
// tokens come back as (start, length). Runs of delimiters count as one.
struct TokenCursor {
    const char *pos;
    const char *end;
};

void BeginTokens(TokenCursor *cursor, const char *text, size_t length);
// Returns 1 and the next token, or 0 when no token is left.
int NextToken(TokenCursor *cursor, const char *delims, const char **token, size_t *length);

// Copies at most size - 1 bytes of src (up to srcLength or its NUL) into
// dest without splitting a character, and fills the rest of dest with NUL.
// Returns the number of bytes copied.
size_t CopyText(char *dest, size_t size, const char *src, size_t srcLength);
size_t CopyText(char *dest, size_t size, const char *src);

// Writes the concatenation of the given texts (null ones are skipped) into
// dest. Returns 1, or 0 with dest emptied when the result does not fit:
// a composed path is never cut into another path.
int JoinText(char *dest, size_t size, const char *a, const char *b, const char *c = nullptr,
             const char *d = nullptr);

// The last '\\' or '/' at a character boundary, or null.
const char *FindLastSeparator(const char *path);
// 1 when the last character of text is '\\' (not a trail byte).
int EndsWithBackslash(const char *text);

// Splits a path into drive, folder (with its closing separator), file name
// and extension (with its dot). Each part may be null. When a part does not
// fit its buffer, every part comes out empty and 0 is returned.
int SplitPath(const char *path, char *drive, size_t driveSize, char *folder, size_t folderSize,
              char *name, size_t nameSize, char *ext, size_t extSize);

// ASCII case-insensitive comparison of a path's extension with ext (".exe").
int HasExtension(const char *path, const char *ext);

// Removes trailing blanks, tabs, CR and LF (never a trail byte).
void TrimLineEnd(char *text);

// Signed decimal conversion as strtol does it, saturating at the 32-bit
// (or 64-bit) limits; stops at the first byte that is not a digit.
long ParseLong32(const char *text, size_t length);
long long ParseLong64(const char *text, size_t length);

}  // namespace ptext

#endif
