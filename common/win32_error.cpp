#include "win32_error.h"

#include <windows.h>

namespace ptr {

std::string Win32ErrorText(unsigned long code) {
    std::string text = "error " + std::to_string(code);
    char description[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                  description, sizeof description, nullptr);
    // The system's texts end in a full stop and a line break.
    while (length > 0 && (description[length - 1] == '\r' || description[length - 1] == '\n' ||
                          description[length - 1] == ' ' || description[length - 1] == '.'))
        --length;
    if (length > 0) text += ": " + std::string(description, length);
    return text;
}

}  // namespace ptr
