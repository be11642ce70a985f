// CPU time and peak memory of processes, read from the host's /proc through
// Wine's Z: drive: Wine does not report them for other processes.
#ifndef PARVELO_TESTS_SUPPORT_HOSTPROCESS_H
#define PARVELO_TESTS_SUPPORT_HOSTPROCESS_H

#include <string>

// The host process id of the process whose command name is comm and whose
// command line holds commandPart, or an empty string. (The host's
// /proc/self cannot serve: Wine resolves it outside the calling process.)
std::string HostProcess(const std::string &comm, const std::string &commandPart = std::string());
// User plus system CPU seconds, or -1.
double CpuSeconds(const std::string &pid);
// Peak resident memory in MiB, or -1.
double PeakMiB(const std::string &pid);

#endif
