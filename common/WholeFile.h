// Reading a whole file into memory, as both programs read their files.
#ifndef PARVELO_COMMON_WHOLEFILE_H
#define PARVELO_COMMON_WHOLEFILE_H

#include <cstddef>

// Reads the file at path into a heap buffer (new[], owned by the caller)
// with a NUL after its bytes, and sets length to the bytes read. Returns
// null when the file cannot be opened, is larger than maxLength, or cannot
// be held or read.
char *ReadWholeFile(const char *path, size_t maxLength, size_t *length);

#endif
