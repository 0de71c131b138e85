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
                    {"/DOWNGRADE", &Options::downgrade},
                    {"/ELEVATED", &Options::elevated}};
    for (const auto& entry : switches) {
        if (text.size() == std::char_traits<char>::length(entry.name) && StartsWithNoCase(text, 0, entry.name)) {
            options.*entry.flag = true;
            return true;
        }
    }
    return false;
}

// The folder of /D=: up to a blank that a "/" follows, or the end.
std::size_t FolderEnd(const std::string& arguments, std::size_t from) {
    for (std::size_t at = from; at + 1 < arguments.size(); ++at) {
        if (IsBlank(arguments[at]) && arguments[at + 1] == '/') return at;
    }
    return arguments.size();
}

}  // namespace

bool ParseOptions(const std::string& arguments, Options& options, std::string* unknown) {
    bool ok = true;
    auto refuse = [&](const std::string& argument) {
        if (ok && unknown) *unknown = argument;
        ok = false;
    };
    std::size_t at = 0;
    for (;;) {
        while (at < arguments.size() && IsBlank(arguments[at])) ++at;
        if (at == arguments.size()) return ok;
        if (StartsWithNoCase(arguments, at, "/D=")) {
            const std::size_t end = FolderEnd(arguments, at + 3);
            options.folder = StripQuotes(arguments.substr(at + 3, end - at - 3));
            if (options.folder.empty()) refuse("/D=");
            at = end;
            continue;
        }
        // A quoted argument, as a program starting us may pass /D=folder.
        if (arguments[at] == '"') {
            const std::size_t close = arguments.find('"', at + 1);
            const std::string inner = arguments.substr(at + 1, close == std::string::npos ? close : close - at - 1);
            at = close == std::string::npos ? arguments.size() : close + 1;
            if (StartsWithNoCase(inner, 0, "/D=") && inner.size() > 3) {
                options.folder = inner.substr(3);
            } else if (!SetSwitch(inner, options)) {
                refuse(inner);
            }
            continue;
        }
        std::size_t end = at;
        while (end < arguments.size() && !IsBlank(arguments[end])) ++end;
        const std::string argument = arguments.substr(at, end - at);
        if (!SetSwitch(argument, options)) refuse(argument);
        at = end;
    }
}

}  // namespace setup
