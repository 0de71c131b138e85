// One open registry key, closed when it goes out of scope, with typed reads
// and writes of its values.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ptr {

// A predefined root key as a 32-bit value (0x80000001 is HKEY_CURRENT_USER),
// as the installation log records it; widened by sign extension in both builds.
HKEY RootKey(uint32_t root);

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // False when the key does not open; a key already open is closed first.
    bool Open(HKEY root, const std::string& path, REGSAM access);
    // Opens the key, creating it and the missing keys above it.
    bool Create(HKEY root, const std::string& path, REGSAM access);
    void Close();
    HKEY get() const { return key_; }

    bool HasValue(const std::string& name) const;
    // False unless the value is a REG_DWORD of four bytes.
    bool ReadDword(const std::string& name, int32_t& value) const;
    // False unless the value is a REG_SZ of at most maxBytes bytes; the text
    // ends at its first zero, and need not carry one.
    bool ReadString(const std::string& name, std::string& value, DWORD maxBytes) const;
    // Any value: its type and its bytes.
    bool ReadRaw(const std::string& name, DWORD& type, std::vector<BYTE>& data) const;

    bool WriteDword(const std::string& name, int32_t value) const;
    // REG_SZ or REG_EXPAND_SZ, with the text's terminating zero.
    bool WriteString(const std::string& name, const std::string& text, DWORD type = REG_SZ) const;
    // REG_BINARY with exactly these bytes.
    bool WriteBinary(const std::string& name, const std::string& bytes) const;
    // Any type, exactly these bytes.
    bool WriteRaw(const std::string& name, DWORD type, const std::vector<BYTE>& data) const;
    bool DeleteValue(const std::string& name) const;

    std::vector<std::string> SubkeyNames() const;
    std::vector<std::string> ValueNames() const;

private:
    HKEY key_ = nullptr;
};

// Deletes a key below `root` with everything it holds: its subkeys depth
// first, then the key. A key that does not open is left as it is.
void DeleteKeyTree(HKEY root, const std::string& path);

}  // namespace ptr
