// "http://" addresses: the split both programs use, the request path and the
// host's port. The maker and the installer judge an address by the same rules.
#ifndef PARVELO_COMMON_HTTPURL_H
#define PARVELO_COMMON_HTTPURL_H

#include <cstddef>

// Sizes of the buffers every caller gives SplitHttpUrl.
const size_t kHostSize = 1024;
const size_t kUrlPartSize = 260;

// Splits an address into host, folder part (with its closing slash) and file
// part. Returns 1 when the address begins with "http://" and has something
// after it, 0 otherwise (no buffer is touched then). On 1 the host buffer is
// cleared over its capacity; folder and file are written only when present.
// Each capacity is the number of bytes that may be written.
int SplitHttpUrl(const char *address, char *host, size_t hostCapacity, char *folder,
                 size_t folderCapacity, char *file, size_t fileCapacity);

// The object name of the GET request: the address's own path with its
// leading slash ("/a/b/" + "f.zip"). Returns 0 when it does not fit.
int BuildRequestPath(const char *folder, const char *file, char *out, size_t outSize);

// Splits "name:port" into the host name and the port; no port means 80.
// Returns 0 when the port is not a number from 1 to 65535 or the name is empty.
int SplitHostPort(const char *host, char *name, size_t nameSize, unsigned short *port);

// 1 when the installer would download this address: it begins with
// "http://", its host and file parts are not empty and its port is valid.
int IsInstallableHttpUrl(const char *address);

#endif
