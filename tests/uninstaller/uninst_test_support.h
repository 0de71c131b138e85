// Shared pieces of the uninstaller's unit tests: log bytes laid out by hand
// (independently of the writer), a scratch folder and a scratch registry key.
#pragma once

#include "inslog.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace uninst_test {

constexpr std::uint32_t kHkcu = 0x80000001;
// Every registry test works below this key, removed before and after each test.
constexpr char kTestKey[] = "Software\\PtrUninstUnitTest";

// A log built field by field at the offsets of the format.
class LogBytes {
public:
    LogBytes() : bytes_(1298, 0) {}
    LogBytes& Text(std::size_t offset, const std::string& text) {
        bytes_[offset] = static_cast<unsigned char>(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) bytes_[offset + 1 + i] = static_cast<unsigned char>(text[i]);
        return *this;
    }
    LogBytes& Count(std::size_t offset, std::int32_t count) {
        for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(count) >> (8 * i));
        return *this;
    }
    // A file or folder entry: a short string whose bytes past the length do not matter.
    LogBytes& Entry(const std::string& path);
    // A record: root, key, value name, kind and up to 256 data bytes.
    LogBytes& Record(std::uint32_t root, const std::string& key, const std::string& value, std::uint8_t kind,
                     const std::vector<unsigned char>& data);
    const std::vector<unsigned char>& Bytes() const { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
};

// Kind 2, 3 and 5 data: a short string.
std::vector<unsigned char> ShortData(const std::string& text);

std::string ScratchFolder();
void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);
bool Exists(const std::string& path);

// The scratch registry key.
void DeleteTestKey();
std::string TestKey(const std::string& below = "");
void SetString(const std::string& key, const std::string& name, const std::string& text, DWORD type = REG_SZ);
void SetDword(const std::string& key, const std::string& name, DWORD value);
void SetBinary(const std::string& key, const std::string& name, const std::vector<unsigned char>& data);
bool KeyExists(const std::string& key);
// Type and bytes of a value; false when it does not exist.
bool ReadValue(const std::string& key, const std::string& name, DWORD& type, std::vector<unsigned char>& data);
// The same as one pair, REG_NONE and a byte 0xEE for a value that does not exist.
std::pair<DWORD, std::vector<unsigned char>> ValueOf(const std::string& key, const std::string& name);
std::vector<unsigned char> Bytes(const std::string& text);

}  // namespace uninst_test
