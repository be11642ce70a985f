// The recursive search that fills a file list from a folder tree,
// resolving Internet shortcuts (.url) into their addresses.
#ifndef PARVELO_MAKER_FILESERCH_H
#define PARVELO_MAKER_FILESERCH_H

#include "maker/FileList.h"

namespace usrs_class {

class CFileSerch : public CFileList {
public:
    explicit CFileSerch(int capacity) : CFileList(capacity) {}

    // folder ends with a backslash. Lists everything below it, each folder
    // after its contents; depth 0 starts from an empty list. Returns the
    // number of entries added, or -1 when a folder cannot be listed, a path
    // does not fit 259 bytes or memory runs out (depth 0 then leaves the
    // list empty, except after a failure inside a sub-folder).
    int Search(const char *folder, int recursive, int depth);
};

}  // namespace usrs_class

#endif
