// Stands in for a program of the post-install list. It appends a line when
// it starts and one when it ends to the file named by PARVELO_RECORD_FILE:
// "start" or "end", a tab and its own command line. The order of the lines is
// the order of the starts and ends of all programs that share the file. In
// between it sleeps, so that a runner that does not wait for it is caught,
// and it ends with the exit code in PARVELO_RECORD_EXIT (0 when unset).
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

const DWORD kSleepMs = 300;

bool Append(const wchar_t *recordPath, const char *what)
{
    std::string line = std::string(what) + "\t" + GetCommandLineA() + "\n";
    // Appending writes land whole at the end, whoever else writes.
    HANDLE file = CreateFileW(recordPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size();
}

}  // namespace

int main()
{
    // Wide, because Wine cuts double-byte values short in the ANSI call.
    wchar_t recordPath[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"PARVELO_RECORD_FILE", recordPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 2;
    char exitText[32];
    length = GetEnvironmentVariableA("PARVELO_RECORD_EXIT", exitText, sizeof exitText);
    int exitCode = (length > 0 && length < sizeof exitText) ? std::atoi(exitText) : 0;
    if (!Append(recordPath, "start"))
        return 2;
    Sleep(kSleepMs);
    if (!Append(recordPath, "end"))
        return 2;
    return exitCode;
}
