#include "setup_options.h"

namespace setup {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string StripQuotes(std::string text) {
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

bool StartsWithNoCase(const std::string& text, std::size_t at, const char* prefix) {
    for (std::size_t i = 0; prefix[i]; ++i) {
        if (at + i >= text.size()) return false;
        char c = text[at + i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

bool ParseOptions(const std::string& arguments, Options& options) {
    std::size_t at = 0;
    for (;;) {
        while (at < arguments.size() && IsBlank(arguments[at])) ++at;
        if (at == arguments.size()) return true;
        if (StartsWithNoCase(arguments, at, "/D=")) {
            options.folder = StripQuotes(arguments.substr(at + 3));
            return !options.folder.empty();
        }
        // A quoted argument, as a program starting us may pass /D=folder.
        if (arguments[at] == '"') {
            const std::size_t close = arguments.find('"', at + 1);
            const std::string inner = arguments.substr(at + 1, close == std::string::npos ? close : close - at - 1);
            at = close == std::string::npos ? arguments.size() : close + 1;
            if (StartsWithNoCase(inner, 0, "/D=") && inner.size() > 3) {
                options.folder = inner.substr(3);
            } else if (inner == "/S" || inner == "/s") {
                options.silent = true;
            } else {
                return false;
            }
            continue;
        }
        std::size_t end = at;
        while (end < arguments.size() && !IsBlank(arguments[end])) ++end;
        if (end - at == 2 && StartsWithNoCase(arguments, at, "/S")) {
            options.silent = true;
        } else {
            return false;
        }
        at = end;
    }
}

}  // namespace setup
