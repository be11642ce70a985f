#include "tests/support/HostProcess.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/WineTestUtil.h"

std::string HostProcess(const std::string &comm, const std::string &commandPart)
{
    // The host keeps command names cut to 15 bytes.
    std::string wanted = comm.substr(0, 15);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &data);
    std::string found;
    if (find == INVALID_HANDLE_VALUE)
        return found;
    do {
        if (data.cFileName[0] < '0' || data.cFileName[0] > '9')
            continue;
        std::string name;
        if (wtest::ReadWholeFile(std::string("Z:\\proc\\") + data.cFileName + "\\comm", &name) &&
            name.substr(0, name.find('\n')) == wanted) {
            std::string command;
            wtest::ReadWholeFile(std::string("Z:\\proc\\") + data.cFileName + "\\cmdline", &command);
            if (command.find(commandPart) != std::string::npos)
                found = data.cFileName;
        }
    } while (found.empty() && FindNextFileA(find, &data));
    FindClose(find);
    return found;
}

double CpuSeconds(const std::string &pid)
{
    std::string stat;
    if (pid.empty() || !wtest::ReadWholeFile("Z:\\proc\\" + pid + "\\stat", &stat))
        return -1;
    // Fields after the command name, which is in parentheses.
    const char *p = std::strrchr(stat.c_str(), ')');
    if (!p)
        return -1;
    unsigned long long utime = 0, stime = 0;
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
        return -1;
    return static_cast<double>(utime + stime) / 100.0;
}

double PeakMiB(const std::string &pid)
{
    std::string status;
    if (pid.empty() || !wtest::ReadWholeFile("Z:\\proc\\" + pid + "\\status", &status))
        return -1;
    std::string::size_type at = status.find("VmHWM:");
    return at == std::string::npos ? -1 : std::atof(status.c_str() + at + 6) / 1024.0;
}
