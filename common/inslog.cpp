#include "inslog.h"

#include "reg_key.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace uninst {

namespace {

using inslog::RecordKind;
using ptr::RegKey;

// One leading backslash names the same key as the path without it.
std::string RelativeKeyPath(const std::string& keyName) {
    return !keyName.empty() && keyName[0] == '\\' ? keyName.substr(1) : keyName;
}

// A fresh accessor on the record's key, with the record's root and path.
bool OpenKey(RegKey& key, std::uint32_t rootKey, const std::string& keyName, REGSAM access) {
    return key.Open(ptr::RootKey(rootKey), RelativeKeyPath(keyName), access);
}

bool CreateKey(RegKey& key, std::uint32_t rootKey, const std::string& keyName) {
    return key.Create(ptr::RootKey(rootKey), RelativeKeyPath(keyName), KEY_ALL_ACCESS);
}

// Subkeys depth first, then the key itself.
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

void DeleteKey(std::uint32_t rootKey, const std::string& keyName) {
    // An empty path would name the root itself: never delete a whole root.
    const std::string path = RelativeKeyPath(keyName);
    if (path.empty()) return;
    DeleteKeyTree(ptr::RootKey(rootKey), path);
}

// A shared key goes only when nothing of anyone's is left in it.
void DeleteKeyIfEmpty(std::uint32_t rootKey, const std::string& keyName) {
    const std::string path = RelativeKeyPath(keyName);
    if (path.empty()) return;
    {
        RegKey key;
        if (!OpenKey(key, rootKey, path, KEY_READ)) return;
        if (!key.SubkeyNames().empty() || !key.ValueNames().empty()) return;
    }
    RegDeleteKeyA(ptr::RootKey(rootKey), path.c_str());
}

void DeleteValue(std::uint32_t rootKey, const std::string& keyName, const std::string& valueName) {
    RegKey key;
    if (!OpenKey(key, rootKey, keyName, KEY_ALL_ACCESS)) return;
    if (key.HasValue(valueName)) key.DeleteValue(valueName);
}

bool WriteKind(const RegKey& key, std::uint8_t kind, const std::string& valueName, const RegValue& value) {
    switch (kind) {
    case inslog::rkString: return key.WriteString(valueName, value.text, REG_SZ);
    case inslog::rkExpandString: return key.WriteString(valueName, value.text, REG_EXPAND_SZ);
    case inslog::rkInteger: return key.WriteDword(valueName, value.number);
    default: return key.WriteBinary(valueName, value.text);
    }
}

void WriteValue(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind, const std::string& valueName,
                const RegValue& value) {
    RegKey key;
    if (!CreateKey(key, rootKey, keyName)) return;
    if (!WriteKind(key, kind, valueName, value)) throw EUninstError("Failed to set data for '" + valueName + "'");
}

RegValue RecordedValue(const TUninsRegObject& object) {
    RegValue value;
    if (object.Kind == inslog::rkInteger) {
        value.number = inslog::DataIntegerOf(object);
    } else {
        value.text = inslog::DataTextOf(object);
    }
    return value;
}

void CheckRecordable(const std::string& keyName, const std::string& valueName) {
    // A cut key or value name would name another key or value on restore.
    if (keyName.size() >= inslog::kShortStringSize || valueName.size() >= inslog::kShortStringSize) {
        throw EUninstError("Registry name too long to record: '" + keyName + "\\" + valueName + "'");
    }
}

}  // namespace

int CompareLocaleNoCase(const std::string& a, const std::string& b) {
    const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                      b.data(), static_cast<int>(b.size()));
    return result - CSTR_EQUAL;
}

TInsLog::TInsLog()
    : ReservedSortedList(CompareLocaleNoCase), Files(CompareLocaleNoCase), Folders(CompareLocaleNoCase) {}

void TInsLog::LoadFromFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw EUninstError("Cannot open file " + path);
    // Bytes after the last record are never needed, and a log is small.
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    std::size_t wanted = low == INVALID_FILE_SIZE ? 0 : static_cast<std::size_t>(low);
    if (high != 0 || wanted > inslog::kMaxLogSize) wanted = inslog::kMaxLogSize;
    std::vector<unsigned char> bytes(wanted);
    std::size_t got = 0;
    while (got < wanted) {
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + got, static_cast<DWORD>(wanted - got), &read, nullptr) || read == 0) break;
        got += read;
    }
    CloseHandle(file);

    inslog::LogContents contents;
    const inslog::ParseResult result = inslog::ParseLog(bytes.data(), got, contents);
    ReservedText = contents.ReservedText;
    ProductName = contents.ProductName;
    FontName = contents.FontName;
    AppWindowClass = contents.AppWindowClass;
    AppWindowTitle = contents.AppWindowTitle;
    ReservedFlag1 = contents.ReservedFlag1;
    ReservedFlag2 = contents.ReservedFlag2;
    for (const std::string& file : contents.Files) Files.Add(file);
    for (const std::string& folder : contents.Folders) Folders.Add(folder);
    RegObjects.insert(RegObjects.end(), contents.RegObjects.begin(), contents.RegObjects.end());
    if (result != inslog::ParseResult::Ok) throw EUninstError("Stream read error");
}

void TInsLog::SaveToFile(const std::string& path) const {
    const std::vector<unsigned char> bytes = SaveToBytes();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw EUninstError("Cannot create file " + path);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) throw EUninstError("Stream write error");
}

std::vector<unsigned char> TInsLog::SaveToBytes() const {
    inslog::LogContents contents;
    contents.ReservedText = ReservedText;
    contents.ProductName = ProductName;
    contents.FontName = FontName;
    contents.AppWindowClass = AppWindowClass;
    contents.AppWindowTitle = AppWindowTitle;
    contents.ReservedFlag1 = ReservedFlag1;
    contents.ReservedFlag2 = ReservedFlag2;
    contents.Files = Files.Items();
    contents.Folders = Folders.Items();
    contents.RegObjects = RegObjects;
    return inslog::SerializeLog(contents);
}

void TInsLog::RestoreRegistry(std::vector<std::string>* notRestored) {
    for (const TUninsRegObject& object : RegObjects) {
        ApplyRegChange(object.RootKey, inslog::KeyNameOf(object), object.Kind, inslog::ValueNameOf(object),
                       RecordedValue(object), false);
        if (notRestored && !RecordHolds(object)) notRestored->push_back(DescribeRecord(object));
    }
}

void TInsLog::ApplyRegChange(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                             const std::string& valueName, const RegValue& value, bool record) {
    if (kind > inslog::rkSharedKeyCreated) return;
    if (record && kind != inslog::rkSharedKeyCreated) {
        CheckRecordable(keyName, valueName);
        if (kind == inslog::rkKeyCreated) {
            if (!RelativeKeyPath(keyName).empty() && !RecordKeyTree(rootKey, keyName)) return;
        } else if (kind == inslog::rkValueCreated) {
            if (RecordValue(rootKey, keyName, valueName) == ValueState::TooMuch) return;
        } else {
            RegKey existing;
            if (!OpenKey(existing, rootKey, keyName, KEY_READ)) {
                AppendRecord(rootKey, keyName, inslog::rkKeyCreated, "");
            }
            const ValueState state = RecordValue(rootKey, keyName, valueName);
            if (state == ValueState::TooMuch) return;
            if (state == ValueState::Missing) AppendRecord(rootKey, keyName, inslog::rkValueCreated, valueName);
        }
    }
    switch (kind) {
    case inslog::rkKeyCreated: DeleteKey(rootKey, keyName); break;
    case inslog::rkValueCreated: DeleteValue(rootKey, keyName, valueName); break;
    case inslog::rkSharedKeyCreated: DeleteKeyIfEmpty(rootKey, keyName); break;
    default: WriteValue(rootKey, keyName, kind, valueName, value); break;
    }
}

void TInsLog::RecordMissingKeys(std::uint32_t rootKey, const std::string& keyName) {
    CheckRecordable(keyName, "");
    const std::string path = RelativeKeyPath(keyName);
    std::size_t end = 0;
    while (end != std::string::npos) {
        end = path.find('\\', end + 1);
        const std::string prefix = path.substr(0, end);
        RegKey key;
        if (prefix.empty() || OpenKey(key, rootKey, prefix, KEY_READ)) continue;
        // The write records a missing key of its own.
        if (prefix.size() < path.size()) AppendRecord(rootKey, prefix, inslog::rkKeyCreated, "");
        return;
    }
}

bool TInsLog::RecordValueState(std::uint32_t rootKey, const std::string& keyName, const std::string& valueName) {
    CheckRecordable(keyName, valueName);
    const ValueState state = RecordValue(rootKey, keyName, valueName);
    if (state == ValueState::Missing) AppendRecord(rootKey, keyName, inslog::rkValueCreated, valueName);
    return state != ValueState::TooMuch;
}

void TInsLog::RecordKey(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind) {
    CheckRecordable(keyName, "");
    AppendRecord(rootKey, keyName, kind, "");
}

void TInsLog::AppendRecord(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                           const std::string& valueName) {
    TUninsRegObject object;
    object.RootKey = rootKey;
    inslog::WriteShortString(object.KeyName, keyName);
    inslog::WriteShortString(object.ValueName, valueName);
    object.Kind = kind;
    RegObjects.push_back(object);
}

// False, with nothing of the tree recorded, when something in it cannot be
// recorded whole (a value, or a key or value name too long for the log): the
// tree is then left alone.
bool TInsLog::RecordKeyTree(std::uint32_t rootKey, const std::string& keyName) {
    const std::size_t before = RegObjects.size();
    RegKey key;
    if (!OpenKey(key, rootKey, keyName, KEY_READ)) return true;
    bool whole = true;
    for (const std::string& subkey : key.SubkeyNames()) {
        const std::string path = keyName + "\\" + subkey;
        whole = whole && path.size() < inslog::kShortStringSize && RecordKeyTree(rootKey, path);
    }
    for (const std::string& valueName : key.ValueNames()) {
        whole = whole && valueName.size() < inslog::kShortStringSize &&
                RecordValue(rootKey, keyName, valueName) != ValueState::TooMuch;
    }
    if (!whole) RegObjects.resize(before);
    return whole;
}

TInsLog::ValueState TInsLog::RecordValue(std::uint32_t rootKey, const std::string& keyName,
                                         const std::string& valueName) {
    RegKey key;
    if (!OpenKey(key, rootKey, keyName, KEY_READ)) return ValueState::Missing;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!key.ReadRaw(valueName, type, data)) return ValueState::Missing;
    const std::string bytes(reinterpret_cast<const char*>(data.data()), data.size());
    TUninsRegObject object;
    object.RootKey = rootKey;
    inslog::WriteShortString(object.KeyName, keyName);
    inslog::WriteShortString(object.ValueName, valueName);
    const std::string text = bytes.substr(0, bytes.find('\0'));  // a text ends at its first zero, stored or not
    if (type == REG_DWORD && bytes.size() == sizeof(std::int32_t)) {
        std::int32_t number = 0;
        std::memcpy(&number, bytes.data(), sizeof number);
        object.Kind = inslog::rkInteger;
        inslog::SetDataInteger(object, number);
    } else if (type == REG_BINARY && bytes.size() < inslog::kShortStringSize) {
        object.Kind = inslog::rkBinary;
        inslog::WriteShortString(object.Data, bytes);
    } else if ((type == REG_SZ || type == REG_EXPAND_SZ) && text.size() < inslog::kShortStringSize) {
        object.Kind = type == REG_SZ ? inslog::rkString : inslog::rkExpandString;
        inslog::WriteShortString(object.Data, text);
    } else {
        // Another type, or more than a record holds: it could not be put back as it is.
        return ValueState::TooMuch;
    }
    RegObjects.push_back(object);
    return ValueState::Recorded;
}

bool RecordHolds(const TUninsRegObject& object) {
    const std::string keyName = RelativeKeyPath(inslog::KeyNameOf(object));
    const std::string valueName = inslog::ValueNameOf(object);
    RegKey key;
    const bool keyThere = !keyName.empty() && OpenKey(key, object.RootKey, keyName, KEY_READ);
    switch (object.Kind) {
    case inslog::rkKeyCreated: return !keyThere;
    case inslog::rkValueCreated: return !keyThere || !key.HasValue(valueName);
    case inslog::rkString:
    case inslog::rkExpandString:
    case inslog::rkInteger:
    case inslog::rkBinary: {
        DWORD type = 0;
        std::vector<BYTE> data;
        if (!keyThere || !key.ReadRaw(valueName, type, data)) return false;
        const std::string bytes(reinterpret_cast<const char*>(data.data()), data.size());
        if (object.Kind == inslog::rkInteger) {
            std::int32_t number = 0;
            if (type != REG_DWORD || bytes.size() != sizeof number) return false;
            std::memcpy(&number, bytes.data(), sizeof number);
            return number == inslog::DataIntegerOf(object);
        }
        if (object.Kind == inslog::rkBinary) return type == REG_BINARY && bytes == inslog::DataTextOf(object);
        const DWORD wanted = object.Kind == inslog::rkString ? REG_SZ : REG_EXPAND_SZ;
        return type == wanted && bytes.substr(0, bytes.find('\0')) == inslog::DataTextOf(object);
    }
    default: return true;  // a shared key may stay with others' values in it; unknown kinds do nothing
    }
}

std::string DescribeRecord(const TUninsRegObject& object) {
    std::string root;
    switch (object.RootKey) {
    case 0x80000000u: root = "HKCR"; break;
    case 0x80000001u: root = "HKCU"; break;
    case 0x80000002u: root = "HKLM"; break;
    case 0x80000003u: root = "HKU"; break;
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(object.RootKey));
        root = text;
    }
    }
    std::string text = root + "\\" + RelativeKeyPath(inslog::KeyNameOf(object));
    if (object.Kind == inslog::rkKeyCreated || object.Kind == inslog::rkSharedKeyCreated) return text;
    const std::string valueName = inslog::ValueNameOf(object);
    return text + "\\" + (valueName.empty() ? "(Default)" : valueName);
}

std::string ReadDialogText(const std::string& path, const std::string& name) {
    char text[2048] = "";
    GetPrivateProfileStringA("DLG", name.c_str(), "", text, sizeof text, path.c_str());
    return text;
}

}  // namespace uninst
