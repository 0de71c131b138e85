#include "temp_copy.h"

#include <cinttypes>
#include <cstdio>

namespace uninst {

std::string Quote(const std::string& path) {
    std::size_t first = 0;
    std::size_t last = path.size();
    while (first < last && static_cast<unsigned char>(path[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(path[last - 1]) <= ' ') --last;
    const std::string trimmed = path.substr(first, last - first);
    const bool enclosed = trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"';
    if (trimmed.find(' ') == std::string::npos || enclosed) return trimmed;
    return '"' + trimmed + '"';
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const std::size_t dot = path.find_last_of(".\\:");
    if (dot == std::string::npos || path[dot] != '.') return path + extension;
    return path.substr(0, dot) + extension;
}

std::string NameCode(std::uint32_t code) {
    std::string digits(5, '0');
    for (int i = 4; i >= 0; --i) {
        digits[static_cast<std::size_t>(i)] = kNameAlphabet[code & 31];
        code >>= 5;
    }
    return digits;
}

bool UniqueName(const std::string& folder, const std::string& extension, std::uint32_t start,
                const std::function<bool(const std::string&)>& pathExists, std::string& name) {
    const std::string base = ptr::AddBackslash(folder) + kTempPrefix;
    start %= kNameSpace;
    std::uint32_t code = start;
    for (;;) {
        code = (code + 1) % kNameSpace;
        if (code == start) return false;
        const std::string candidate = base + NameCode(code) + extension;
        if (!pathExists(candidate)) {
            name = candidate;
            return true;
        }
    }
}

std::string CopyArguments(const std::string& installedExecutable, std::uint32_t signalWindow) {
    char handle[16];
    std::snprintf(handle, sizeof handle, "$%" PRIX32, signalWindow);
    return " " + Quote(installedExecutable) + " " + handle;
}

bool ParseInteger(const std::string& text, std::int32_t& value) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    unsigned base = 10;
    if (at < text.size() && text[at] == '$') {
        base = 16;
        ++at;
    } else if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        base = 16;
        at += 2;
    }
    if (at == text.size()) return false;
    std::uint64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        magnitude = magnitude * base + digit;
        // Hexadecimal spans all 32 bits (a handle); decimal stays within the signed range.
        const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
        if (magnitude > limit) return false;
    }
    const std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    value = static_cast<std::int32_t>(negative ? 0u - bits : bits);
    return true;
}

std::string NotAnIntegerMessage(const std::string& text) { return "'" + text + "' is not a valid integer value"; }

}  // namespace uninst
