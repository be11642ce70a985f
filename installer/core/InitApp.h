// The setup description "ParveloInfo.txt": application name, page bitmap
// names, the dialog bitmap pack path and the install list path.
#ifndef PARVELO_INSTALLER_CORE_INITAPP_H
#define PARVELO_INSTALLER_CORE_INITAPP_H

#include <cstddef>

class CInitApp {
public:
    CInitApp();
    virtual ~CInitApp();
    CInitApp(const CInitApp &) = delete;
    CInitApp &operator=(const CInitApp &) = delete;

    // Reads the file whole and parses it. 1 when read to its end, 0 when the
    // path is null, the file cannot be opened or reading fails.
    int Load(const char *path);
    // Parses a setup description held in memory (up to length or a NUL).
    void Parse(const char *data, size_t length);

    const char *GetAppName() const { return m_szAppName; }
    const char *GetDialogBmpPack() const { return m_szDialogBmpPack; }
    const char *GetInstallList() const { return m_szInstallList; }

private:
    void ParseLine(const char *line, size_t length);

    char m_szAppName[128];
    char m_szDialogBmp[5][260];
    char m_szDialogBmpPack[260];
    char m_szInstallList[260];
};

#endif
