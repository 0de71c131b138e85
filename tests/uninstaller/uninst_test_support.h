// Shared pieces of the uninstaller's unit tests: log bytes laid out by hand
// (independently of the writer), a scratch folder and a scratch registry key.
#pragma once

#include "inslog.h"

#include <windows.h>

#include <cstdint>
#include <string>
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
    LogBytes& Entry(const std::string& path) {
        std::vector<unsigned char> field(256, 0xCC);  // bytes past the length do not matter
        field[0] = static_cast<unsigned char>(path.size());
        for (std::size_t i = 0; i < path.size(); ++i) field[1 + i] = static_cast<unsigned char>(path[i]);
        bytes_.insert(bytes_.end(), field.begin(), field.end());
        return *this;
    }
    // A record: root, key, value name, kind and up to 256 data bytes.
    LogBytes& Record(std::uint32_t root, const std::string& key, const std::string& value, std::uint8_t kind,
                     const std::vector<unsigned char>& data) {
        std::vector<unsigned char> record(773, 0);
        for (int i = 0; i < 4; ++i) record[i] = static_cast<unsigned char>(root >> (8 * i));
        Put(record, 4, key);
        Put(record, 260, value);
        record[516] = kind;
        for (std::size_t i = 0; i < data.size() && i < 256; ++i) record[517 + i] = data[i];
        bytes_.insert(bytes_.end(), record.begin(), record.end());
        return *this;
    }
    const std::vector<unsigned char>& Bytes() const { return bytes_; }

private:
    static void Put(std::vector<unsigned char>& record, std::size_t at, const std::string& text) {
        record[at] = static_cast<unsigned char>(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) record[at + 1 + i] = static_cast<unsigned char>(text[i]);
    }
    std::vector<unsigned char> bytes_;
};

// Kind 2, 3 and 5 data: a short string.
inline std::vector<unsigned char> ShortData(const std::string& text) {
    std::vector<unsigned char> data(text.size() + 1, static_cast<unsigned char>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) data[i + 1] = static_cast<unsigned char>(text[i]);
    return data;
}

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

}  // namespace uninst_test
