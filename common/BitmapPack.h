// The dialog bitmap pack "DialogBmp.pak": the five page pictures stored
// whole, one record after the other, with no header. A record is the name
// length (32-bit little-endian), the name bytes without terminator, the data
// length and the BMP file's bytes.
#ifndef PARVELO_COMMON_BITMAPPACK_H
#define PARVELO_COMMON_BITMAPPACK_H

#include <cstddef>
#include <cstdint>

struct BitmapPackEntry {
    uint32_t nNameLength;
    // Read: the record's name. Written: the bitmap's path as the author
    // entered it.
    char szName[256];
    uint32_t nDataLength;
    // Heap buffer (new[]) of nDataLength bytes, or null; the holder of the
    // entry owns it.
    unsigned char *pData;
};

// Reads the pack at path into up to count entries. Returns the number of
// whole records read (0 when the pack cannot be read); entries after them
// are left as they were.
int ReadBitmapPack(BitmapPackEntry *entries, int count, const char *path);

// Creates the pack at path with one record per entry, always, so every
// picture keeps its page: a bitmap that cannot be read gives a record with
// its bare name and no data. Sets each entry's nDataLength to the data bytes
// written. Returns count, or 0 when the pack cannot be created or a write
// fails.
int WriteBitmapPack(const char *path, BitmapPackEntry *entries, int count);

// Parses pack bytes held in memory into up to count entries; stops at the
// first record the bytes do not hold whole. Returns the number of records
// read. A record whose data cannot be allocated leaves its entry without
// data and still counts. Never reads past length.
int ParseBitmapPack(const unsigned char *data, size_t length, BitmapPackEntry *entries, int count);

// The record name for a bitmap path: file name and extension, cut to fit
// size bytes at a character boundary.
void MakeBitmapPackName(const char *path, char *name, size_t size);

// Stores value as 4 little-endian bytes.
void PutPackLength(unsigned char *out, uint32_t value);

// Releases the entries' data buffers and clears the entries.
void ReleaseBitmapPack(BitmapPackEntry *entries, int count);

#endif
