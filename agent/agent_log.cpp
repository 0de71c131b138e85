// The agent's output: one line to stdout and, with --log, to the log file.
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

std::string FormatText(const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    return text;
}

void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string line = FormatText(format, args);
    va_end(args);
    // Readers follow the output while the agent runs: flush every line.
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (g_logFile) {
        std::fprintf(g_logFile, "%s\n", line.c_str());
        std::fflush(g_logFile);
    }
}

}  // namespace agent
