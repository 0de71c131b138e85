#include "short_string.h"

#include <algorithm>
#include <cstring>

namespace ptr {

std::string ReadShortString(const unsigned char* field) {
    return std::string(reinterpret_cast<const char*>(field + 1), field[0]);
}

void WriteShortString(unsigned char* field, const std::string& text) {
    const std::size_t length = std::min(text.size(), kMaxShortStringLength);
    field[0] = static_cast<unsigned char>(length);
    std::memcpy(field + 1, text.data(), length);
}

void FillShortString(unsigned char* field, const std::string& text) {
    std::memset(field, 0, kShortStringSize);
    WriteShortString(field, text);
}

}  // namespace ptr
