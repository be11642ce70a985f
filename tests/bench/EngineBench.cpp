// Figures for the install engine, each mode in a process of its own so that
// peak memory belongs to one run:
//   tree <dir>             make the source tree (one 1 GiB file, 2,000 of 64 KiB)
//   copy <dir>             engine against a plain CopyFileA loop over that tree
//   download <url> <dir>   engine download, with the process's peak memory
//   wininet <url>          a plain blocking WinInet loop with 64 KiB reads
//   serve <portfile> <size> <stopfile>
//                          serve a generated body until the stop file exists
#include "tests/support/TestHttpServer.h"

#include <psapi.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "installer/core/DataManager.h"
#include "tests/support/HostProcess.h"
#include "tests/support/ProgressPage.h"
#include "tests/support/WineTestUtil.h"

namespace {

const int kManyFiles = 2000;
const int kManyPerFolder = 100;
const size_t kManySize = 64 * 1024;
const long long kBigSize = 1LL << 30;

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double OwnPeakMiB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

std::string ManyName(int i)
{
    char name[64];
    std::snprintf(name, sizeof name, "many\\d%02d\\f%04d.bin", i / kManyPerFolder, i);
    return name;
}

int MakeTree(const std::string &dir)
{
    std::string src = dir + "\\src";
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA(src.c_str(), nullptr);
    CreateDirectoryA((src + "\\big").c_str(), nullptr);
    CreateDirectoryA((src + "\\many").c_str(), nullptr);
    std::vector<char> chunk(1 << 20);
    for (size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>(i * 131 + (i >> 12));
    HANDLE big = CreateFileA((src + "\\big\\one.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    for (long long done = 0; done < kBigSize; done += static_cast<long long>(chunk.size())) {
        DWORD written = 0;
        WriteFile(big, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr);
    }
    CloseHandle(big);
    std::string many = std::to_string(kManyFiles) + "\n";
    for (int i = 0; i < kManyFiles; ++i) {
        if (i % kManyPerFolder == 0)
            CreateDirectoryA((src + "\\" + ManyName(i).substr(0, 8)).c_str(), nullptr);
        wtest::WriteWholeFile(src + "\\" + ManyName(i), std::string(chunk.data() + i % 1000, kManySize));
        many += ManyName(i) + "\t" + ManyName(i) + "\n";
    }
    wtest::WriteWholeFile(src + "\\big.txt", "1\nbig\\one.bin\tbig\\one.bin\n");
    wtest::WriteWholeFile(src + "\\many.txt", many);
    return 0;
}

// One engine run from the current folder; returns seconds, or -1.
double EngineRun(const char *list, const std::string &target)
{
    ProgressPage page;
    CDataManager manager;
    CreateDirectoryA(target.c_str(), nullptr);
    double start = Now();
    if (!manager.Start(page.Window(), list, target.c_str()))
        return -1;
    while (manager.IsWorkerRunning()) {
        if (!wtest::FindMessageBoxes().empty())
            return -1;
        Sleep(5);
    }
    double seconds = Now() - start;
    return page.finished ? seconds : -1;
}

double PlainCopy(const std::string &src, const std::vector<std::string> &names, const std::string &target)
{
    CreateDirectoryA(target.c_str(), nullptr);
    double start = Now();
    for (const std::string &name : names) {
        std::string dest = target + name;
        std::string folder = dest.substr(0, dest.rfind('\\'));
        if (!wtest::FolderExists(folder)) {
            CreateDirectoryA(folder.substr(0, folder.rfind('\\')).c_str(), nullptr);
            CreateDirectoryA(folder.c_str(), nullptr);
        }
        if (!CopyFileA((src + "\\" + name).c_str(), dest.c_str(), FALSE))
            return -1;
    }
    return Now() - start;
}

void Row(const char *what, double engine, double plain, double mib)
{
    std::printf("%-34s engine %7.2f s (%7.1f MiB/s)   plain %7.2f s (%7.1f MiB/s)   ratio %.2f\n", what, engine,
                mib / engine, plain, mib / plain, engine / plain);
}

int Copy(const std::string &dir)
{
    std::string src = dir + "\\src";
    SetCurrentDirectoryA(src.c_str());
    std::vector<std::string> many;
    for (int i = 0; i < kManyFiles; ++i)
        many.push_back(ManyName(i));
    // Each pair runs twice and the second figures count, so that neither side
    // pays for the write-back of the files made just before.
    std::string self = HostProcess("engine_bench.exe", dir);
    double cpu = 0, engineBig = 0, plainBig = 0, engineMany = 0, plainMany = 0;
    for (int round = 0; round < 2; ++round) {
        for (const char *t : {"\\engine_big", "\\engine_many", "\\plain_big", "\\plain_many"})
            wtest::RemoveTree(dir + t);
        cpu = CpuSeconds(self);
        engineBig = EngineRun("big.txt", dir + "\\engine_big\\");
        cpu = CpuSeconds(self) - cpu;
        plainBig = PlainCopy(src, {"big\\one.bin"}, dir + "\\plain_big\\");
        engineMany = EngineRun("many.txt", dir + "\\engine_many\\");
        plainMany = PlainCopy(src, many, dir + "\\plain_many\\");
    }
    Row("copy 1 GiB, one file", engineBig, plainBig, 1024.0);
    std::printf("%-34s engine %7.2f s CPU\n", "copy 1 GiB, engine alone", cpu);
    Row("copy 2,000 files of 64 KiB", engineMany, plainMany, kManyFiles * 64.0 / 1024.0);
    for (const char *t : {"\\engine_big", "\\engine_many", "\\plain_big", "\\plain_many"})
        wtest::RemoveTree(dir + t);
    return engineBig < 0 || engineMany < 0 || plainBig < 0 || plainMany < 0;
}

int Download(const std::string &url, const std::string &dir)
{
    CreateDirectoryA(dir.c_str(), nullptr);
    SetCurrentDirectoryA(dir.c_str());
    wtest::WriteWholeFile(dir + "\\dl.txt", "1\n" + url + "\tdl\\big.bin\n");
    double before = OwnPeakMiB();
    double seconds = EngineRun("dl.txt", dir + "\\engine_dl\\");
    LARGE_INTEGER size = {};
    HANDLE file = CreateFileA((dir + "\\engine_dl\\dl\\big.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    GetFileSizeEx(file, &size);
    CloseHandle(file);
    double mib = static_cast<double>(size.QuadPart) / (1024.0 * 1024.0);
    std::printf("%-34s engine %7.2f s (%7.1f MiB/s)   peak working set %.1f MiB (%.1f MiB before the run)\n",
                "download", seconds, mib / seconds, OwnPeakMiB(), before);
    wtest::RemoveTree(dir + "\\engine_dl");
    return seconds < 0;
}

int PlainWinInet(const std::string &url)
{
    double start = Now();
    HINTERNET internet = InternetOpenA("Parvelo", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET request = InternetOpenUrlA(internet, url.c_str(), nullptr, 0,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (!request)
        return 1;
    std::vector<char> buffer(64 * 1024);
    long long total = 0;
    DWORD got = 0;
    while (InternetReadFile(request, buffer.data(), static_cast<DWORD>(buffer.size()), &got) && got > 0)
        total += got;
    InternetCloseHandle(request);
    InternetCloseHandle(internet);
    double seconds = Now() - start;
    double mib = static_cast<double>(total) / (1024.0 * 1024.0);
    std::printf("%-34s plain  %7.2f s (%7.1f MiB/s)   peak working set %.1f MiB\n", "download, WinInet 64 KiB loop",
                seconds, mib / seconds, OwnPeakMiB());
    return 0;
}

int Serve(const std::string &portFile, unsigned long long size, const std::string &stopFile)
{
    CTestHttpServer server;
    server.AddGenerated("/big.bin", size);
    if (!server.Start())
        return 1;
    wtest::WriteWholeFile(portFile, std::to_string(server.Port()));
    while (!wtest::FileExists(stopFile))
        Sleep(100);
    server.Stop();
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "tree" && argc == 3)
        return MakeTree(argv[2]);
    if (mode == "copy" && argc == 3)
        return Copy(argv[2]);
    if (mode == "download" && argc == 4)
        return Download(argv[2], argv[3]);
    if (mode == "wininet" && argc == 3)
        return PlainWinInet(argv[2]);
    if (mode == "serve" && argc == 5)
        return Serve(argv[2], std::strtoull(argv[3], nullptr, 10), argv[4]);
    std::fprintf(stderr, "usage: engine_bench tree|copy|download|wininet|serve ...\n");
    return 2;
}
