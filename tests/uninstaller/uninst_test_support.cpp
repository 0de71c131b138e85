#include "uninst_test_support.h"

#include <cstdio>

namespace uninst_test {

namespace {

std::vector<std::string> SubkeysOf(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    DWORD length = sizeof name;
    for (DWORD i = 0; RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name) {
        names.emplace_back(name, length);
    }
    return names;
}

void DeleteTree(const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    const std::vector<std::string> subkeys = SubkeysOf(key);
    RegCloseKey(key);
    for (const std::string& subkey : subkeys) DeleteTree(path + "\\" + subkey);
    RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

HKEY CreateKey(const std::string& path) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

void Put(std::vector<unsigned char>& record, std::size_t at, const std::string& text) {
    record[at] = static_cast<unsigned char>(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) record[at + 1 + i] = static_cast<unsigned char>(text[i]);
}

}  // namespace

LogBytes& LogBytes::Entry(const std::string& path) {
    std::vector<unsigned char> field(256, 0xCC);
    field[0] = static_cast<unsigned char>(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) field[1 + i] = static_cast<unsigned char>(path[i]);
    bytes_.insert(bytes_.end(), field.begin(), field.end());
    return *this;
}

LogBytes& LogBytes::Record(std::uint32_t root, const std::string& key, const std::string& value, std::uint8_t kind,
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

std::vector<unsigned char> ShortData(const std::string& text) {
    std::vector<unsigned char> data(text.size() + 1, static_cast<unsigned char>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) data[i + 1] = static_cast<unsigned char>(text[i]);
    return data;
}

std::string ScratchFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char folder[MAX_PATH];
    for (unsigned n = GetCurrentProcessId();; ++n) {
        std::snprintf(folder, sizeof folder, "%suninst-unit-%u", temp, n);
        if (CreateDirectoryA(folder, nullptr)) return folder;
    }
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void DeleteTestKey() { DeleteTree(kTestKey); }

std::string TestKey(const std::string& below) { return below.empty() ? kTestKey : std::string(kTestKey) + "\\" + below; }

void SetString(const std::string& key, const std::string& name, const std::string& text, DWORD type) {
    HKEY handle = CreateKey(key);
    RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(handle);
}

void SetDword(const std::string& key, const std::string& name, DWORD value) {
    HKEY handle = CreateKey(key);
    RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(handle);
}

void SetBinary(const std::string& key, const std::string& name, const std::vector<unsigned char>& data) {
    HKEY handle = CreateKey(key);
    RegSetValueExA(handle, name.c_str(), 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(handle);
}

bool KeyExists(const std::string& key) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

bool ReadValue(const std::string& key, const std::string& name, DWORD& type, std::vector<unsigned char>& data) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(handle, name.c_str(), nullptr, &type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data.assign(size, 0);
        result = RegQueryValueExA(handle, name.c_str(), nullptr, &type, data.data(), &size);
        data.resize(size);
    }
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

std::pair<DWORD, std::vector<unsigned char>> ValueOf(const std::string& key, const std::string& name) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (!ReadValue(key, name, type, data)) return {REG_NONE, {0xEE}};
    return {type, data};
}

std::vector<unsigned char> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace uninst_test
