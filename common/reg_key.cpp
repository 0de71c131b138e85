#include "reg_key.h"

namespace ptr {

HKEY RootKey(uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<int32_t>(root))));
}

bool RegKey::Open(HKEY root, const std::string& path, REGSAM access) {
    Close();
    return RegOpenKeyExA(root, path.c_str(), 0, access, &key_) == ERROR_SUCCESS;
}

bool RegKey::Create(HKEY root, const std::string& path, REGSAM access) {
    Close();
    return RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key_, nullptr) == ERROR_SUCCESS;
}

void RegKey::Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

bool RegKey::HasValue(const std::string& name) const {
    return RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool RegKey::ReadDword(const std::string& name, int32_t& value) const {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data)
        return false;
    value = static_cast<int32_t>(data);
    return true;
}

bool RegKey::ReadString(const std::string& name, std::string& value, DWORD maxBytes) const {
    std::vector<char> data(maxBytes + 1, '\0');
    DWORD type = 0;
    DWORD size = maxBytes;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    value = data.data();
    return true;
}

bool RegKey::ReadRaw(const std::string& name, DWORD& type, std::vector<BYTE>& data) const {
    DWORD size = 0;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    data.assign(size + 1, 0);  // room for a text's zero that was not stored
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return false;
    data.resize(size);
    return true;
}

bool RegKey::WriteDword(const std::string& name, int32_t value) const {
    const DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
           ERROR_SUCCESS;
}

bool RegKey::WriteString(const std::string& name, const std::string& text, DWORD type) const {
    return RegSetValueExA(key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool RegKey::WriteBinary(const std::string& name, const std::string& bytes) const {
    return RegSetValueExA(key_, name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool RegKey::WriteRaw(const std::string& name, DWORD type, const std::vector<BYTE>& data) const {
    return RegSetValueExA(key_, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool RegKey::DeleteValue(const std::string& name) const { return RegDeleteValueA(key_, name.c_str()) == ERROR_SUCCESS; }

std::vector<std::string> RegKey::SubkeyNames() const {
    std::vector<std::string> names;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::string> RegKey::ValueNames() const {
    std::vector<std::string> names;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::vector<char> name(longest + 2);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

void DeleteKeyTree(HKEY root, const std::string& path) {
    {
        RegKey key;
        if (!key.Open(root, path, KEY_ALL_ACCESS)) return;
        const std::vector<std::string> subkeys = key.SubkeyNames();
        key.Close();
        for (const std::string& subkey : subkeys) DeleteKeyTree(root, path + "\\" + subkey);
    }
    RegDeleteKeyA(root, path.c_str());
}

}  // namespace ptr
