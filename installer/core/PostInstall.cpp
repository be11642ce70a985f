#include "installer/core/PostInstall.h"

#include <cstdio>
#include <cstring>

#include "common/Text.h"

namespace {

// One read takes at most 2046 bytes; a longer line is parsed piece by piece.
const int kLineSize = 2047;
const size_t kFieldSize = 1024;
const size_t kCommandSize = 1024;
const size_t kConfirmSize = 260;

const char kFieldDelims[] = "\t";
const char kCaption[] = "確認";
const char kQuestion[] = "をインストールします。よろしいですか？";
const char kFailureText[] = "プログラムの起動、またはインストールに失敗しました。";

void ReportFailure(HWND owner)
{
    MessageBoxA(owner, kFailureText, kCaption, MB_OK | MB_ICONERROR);
}

// Windows Installer ends with these codes when nothing went wrong: success,
// success that needs a restart, and the user's own cancel.
bool IsInstallerSuccess(DWORD exitCode)
{
    return exitCode == ERROR_SUCCESS || exitCode == ERROR_SUCCESS_REBOOT_REQUIRED ||
           exitCode == ERROR_SUCCESS_REBOOT_INITIATED || exitCode == ERROR_INSTALL_USEREXIT;
}

// Paths go in double quotes so that a blank in them never lets Windows start
// a shorter path (C:\Program.exe for C:\Program Files\...).
int QuotePath(char *dest, size_t size, const char *path)
{
    return ptext::JoinText(dest, size, "\"", path, "\"");
}

// The program by its full path: a bare name must mean the file in the
// distribution folder, never one found on the search path.
int BuildProgramCommand(char *command, size_t size, const char *programPath)
{
    char fullPath[kFieldSize];
    DWORD length = GetFullPathNameA(programPath, sizeof fullPath, fullPath, nullptr);
    if (length == 0 || length >= sizeof fullPath)
        return 0;
    return QuotePath(command, size, fullPath);
}

// msiexec from the system folder only: a file of that name beside a
// downloaded installer must not take its place.
int BuildInstallerCommand(char *command, size_t size, const char *packagePath)
{
    char systemFolder[ptext::kPathSize];
    UINT length = GetSystemDirectoryA(systemFolder, sizeof systemFolder);
    if (length == 0 || length >= sizeof systemFolder)
        return 0;
    char program[ptext::kPathSize];
    const char *separator = ptext::EndsWithBackslash(systemFolder) ? "" : "\\";
    if (!ptext::JoinText(program, sizeof program, systemFolder, separator, "msiexec.exe"))
        return 0;
    char quotedProgram[ptext::kPathSize + 2];
    char quotedPackage[kFieldSize + 2];
    return QuotePath(quotedProgram, sizeof quotedProgram, program) &&
           QuotePath(quotedPackage, sizeof quotedPackage, packagePath) &&
           ptext::JoinText(command, size, quotedProgram, " /i ", quotedPackage);
}

void RunLine(HWND owner, const char *line, int confirm)
{
    ptext::TokenCursor cursor;
    ptext::BeginTokens(&cursor, line, std::strlen(line));
    const char *token = nullptr;
    size_t length = 0;
    char programPath[kFieldSize];
    char displayName[kFieldSize];
    // A program path cut short would name another file.
    if (!ptext::NextToken(&cursor, kFieldDelims, &token, &length) || length >= sizeof programPath)
        return;
    ptext::CopyText(programPath, sizeof programPath, token, length);
    if (!ptext::NextToken(&cursor, kFieldDelims, &token, &length))
        return;
    ptext::CopyText(displayName, sizeof displayName, token, length);
    // Only tabs separate fields, so the last one still holds the line end.
    ptext::TrimLineEnd(displayName);

    // A part too long for its buffer empties every part: no extension, no run.
    char drive[3];
    char folder[256];
    char name[256];
    char extension[256];
    if (!ptext::SplitPath(programPath, drive, sizeof drive, folder, sizeof folder, name, sizeof name, extension,
                          sizeof extension))
        return;
    char command[kCommandSize];
    if (ptext::HasExtension(extension, ".exe")) {
        if (BuildProgramCommand(command, sizeof command, programPath))
            RunPostInstallProgram(owner, command, displayName, confirm);
    } else if (ptext::HasExtension(extension, ".msi")) {
        if (BuildInstallerCommand(command, sizeof command, programPath))
            RunPostInstallProgram(owner, command, displayName, confirm, 1);
    }
}

}  // namespace

int RunPostInstallList(HWND owner, const char *path, int confirm)
{
    if (!path)
        return 0;
    FILE *file = std::fopen(path, "rt");
    if (!file)
        return 0;
    char line[kLineSize];
    while (std::fgets(line, sizeof line, file))
        RunLine(owner, line, confirm);
    std::fclose(file);
    return 1;
}

int RunPostInstallProgram(HWND owner, const char *commandLine, const char *displayName, int confirm,
                          int installerResult)
{
    if (confirm) {
        // A long name is cut at a character boundary so that the question
        // always fits.
        char name[kConfirmSize - sizeof kQuestion + 1];
        ptext::CopyText(name, sizeof name, displayName ? displayName : "");
        char question[kConfirmSize];
        ptext::JoinText(question, sizeof question, name, kQuestion);
        // Only a clear yes starts anything; a box that could not be shown is none.
        if (MessageBoxA(owner, question, kCaption, MB_OKCANCEL) != IDOK)
            return 1;
    }
    // CreateProcessA may write into its command line, and a command cut short
    // would start something else.
    char command[kCommandSize];
    if (!commandLine || !ptext::JoinText(command, sizeof command, commandLine, nullptr)) {
        ReportFailure(owner);
        return 1;
    }
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    std::memset(&process, 0, sizeof process);
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                        &process)) {
        ReportFailure(owner);
        return 1;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    bool failed = installerResult && (!GetExitCodeProcess(process.hProcess, &exitCode) || !IsInstallerSuccess(exitCode));
    CloseHandle(process.hProcess);
    if (failed)
        ReportFailure(owner);
    return 1;
}
