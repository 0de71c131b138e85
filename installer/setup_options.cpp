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

// A switch without a value; false when the text is none of them.
bool SetSwitch(const std::string& text, Options& options) {
    const struct {
        const char* name;
        bool Options::*flag;
    } switches[] = {{"/S", &Options::silent},
                    {"/NORUN", &Options::noRun},
                    {"/ALLUSERS", &Options::allUsers},
                    {"/ELEVATED", &Options::elevated}};
    for (const auto& entry : switches) {
        if (text.size() == std::char_traits<char>::length(entry.name) && StartsWithNoCase(text, 0, entry.name)) {
            options.*entry.flag = true;
            return true;
        }
    }
    return false;
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
            } else if (!SetSwitch(inner, options)) {
                return false;
            }
            continue;
        }
        std::size_t end = at;
        while (end < arguments.size() && !IsBlank(arguments[end])) ++end;
        if (!SetSwitch(arguments.substr(at, end - at), options)) return false;
        at = end;
    }
}

}  // namespace setup
