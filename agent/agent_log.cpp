#include "agent.h"

#include <cstdarg>
#include <cstdio>

namespace agent {

namespace {
FILE* g_logFile = nullptr;
}

void OpenLogFile(const char* path) {
    g_logFile = std::fopen(path, "a");
    if (!g_logFile) Say("PtrAgent: cannot open log file %s", path);
}

void Say(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    // Readers follow the output while the agent runs: flush every line.
    std::printf("%s\n", line);
    std::fflush(stdout);
    if (g_logFile) {
        std::fprintf(g_logFile, "%s\n", line);
        std::fflush(g_logFile);
    }
}

}  // namespace agent
