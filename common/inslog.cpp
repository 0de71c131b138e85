#include "inslog.h"

#include "paths.h"
#include "reg_key.h"

#include <windows.h>

#include <cstdio>

namespace inslog {

namespace {

// A fresh accessor on the record's key, with the record's root and path.
bool OpenKey(ptr::RegKey& key, std::uint32_t rootKey, const std::string& keyName, REGSAM access) {
    return key.Open(ptr::RootKey(rootKey), RelativeKeyPath(keyName), access);
}

bool CreateKey(ptr::RegKey& key, std::uint32_t rootKey, const std::string& keyName) {
    return key.Create(ptr::RootKey(rootKey), RelativeKeyPath(keyName), KEY_ALL_ACCESS);
}

void DeleteKey(std::uint32_t rootKey, const std::string& keyName) {
    // An empty path would name the root itself: never delete a whole root.
    const std::string path = RelativeKeyPath(keyName);
    if (path.empty()) return;
    ptr::DeleteKeyTree(ptr::RootKey(rootKey), path);
}

// A shared key goes only when nothing of anyone's is left in it.
void DeleteKeyIfEmpty(std::uint32_t rootKey, const std::string& keyName) {
    const std::string path = RelativeKeyPath(keyName);
    if (path.empty()) return;
    {
        ptr::RegKey key;
        if (!OpenKey(key, rootKey, path, KEY_READ)) return;
        if (!key.SubkeyNames().empty() || !key.ValueNames().empty()) return;
    }
    RegDeleteKeyA(ptr::RootKey(rootKey), path.c_str());
}

void DeleteValue(std::uint32_t rootKey, const std::string& keyName, const std::string& valueName) {
    ptr::RegKey key;
    if (!OpenKey(key, rootKey, keyName, KEY_ALL_ACCESS)) return;
    if (key.HasValue(valueName)) key.DeleteValue(valueName);
}

bool WriteKind(const ptr::RegKey& key, std::uint8_t kind, const std::string& valueName, const RegValue& value) {
    switch (kind) {
    case rkString: return key.WriteString(valueName, value.text, REG_SZ);
    case rkExpandString: return key.WriteString(valueName, value.text, REG_EXPAND_SZ);
    case rkInteger: return key.WriteDword(valueName, value.number);
    default: return key.WriteBinary(valueName, value.text);
    }
}

void WriteValue(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind, const std::string& valueName,
                const RegValue& value) {
    ptr::RegKey key;
    if (!CreateKey(key, rootKey, keyName)) return;
    if (!WriteKind(key, kind, valueName, value)) throw EInsLogError("Failed to set data for '" + valueName + "'");
}

}  // namespace

TInsLog::TInsLog()
    : ReservedSortedList(ptr::CompareLocaleNoCase),
      Files(ptr::CompareLocaleNoCase),
      Folders(ptr::CompareLocaleNoCase) {}

void TInsLog::LoadFromFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw EInsLogError("Cannot open file " + path);
    // Bytes after the last record are never needed, and a log is small.
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    std::size_t wanted = low == INVALID_FILE_SIZE ? 0 : static_cast<std::size_t>(low);
    if (high != 0 || wanted > kMaxLogSize) wanted = kMaxLogSize;
    std::vector<unsigned char> bytes(wanted);
    std::size_t got = 0;
    while (got < wanted) {
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + got, static_cast<DWORD>(wanted - got), &read, nullptr) || read == 0) break;
        got += read;
    }
    CloseHandle(file);

    LogContents contents;
    const ParseResult result = ParseLog(bytes.data(), got, contents);
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
    if (result != ParseResult::Ok) throw EInsLogError("Stream read error");
}

void TInsLog::SaveToFile(const std::string& path) const {
    const std::vector<unsigned char> bytes = SaveToBytes();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw EInsLogError("Cannot create file " + path);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) throw EInsLogError("Stream write error");
}

std::vector<unsigned char> TInsLog::SaveToBytes() const {
    LogContents contents;
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
    return SerializeLog(contents);
}

std::string RelativeKeyPath(const std::string& keyName) {
    return !keyName.empty() && keyName[0] == '\\' ? keyName.substr(1) : keyName;
}

void CheckRecordable(const std::string& keyName, const std::string& valueName) {
    if (keyName.size() >= ptr::kShortStringSize || valueName.size() >= ptr::kShortStringSize) {
        throw EInsLogError("Registry name too long to record: '" + keyName + "\\" + valueName + "'");
    }
}

TUninsRegObject MakeRecord(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                           const std::string& valueName) {
    CheckRecordable(keyName, valueName);
    TUninsRegObject object;
    object.RootKey = rootKey;
    ptr::FillShortString(object.KeyName, keyName);
    ptr::FillShortString(object.ValueName, valueName);
    object.Kind = kind;
    return object;
}

RegValue RecordedValue(const TUninsRegObject& object) {
    RegValue value;
    if (object.Kind == rkInteger) {
        value.number = DataIntegerOf(object);
    } else {
        value.text = DataTextOf(object);
    }
    return value;
}

void ApplyRegChange(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                    const std::string& valueName, const RegValue& value) {
    switch (kind) {
    case rkKeyCreated: DeleteKey(rootKey, keyName); break;
    case rkValueCreated: DeleteValue(rootKey, keyName, valueName); break;
    case rkString:
    case rkExpandString:
    case rkInteger:
    case rkBinary: WriteValue(rootKey, keyName, kind, valueName, value); break;
    case rkSharedKeyCreated: DeleteKeyIfEmpty(rootKey, keyName); break;
    default: break;
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
    std::string text = root + "\\" + RelativeKeyPath(KeyNameOf(object));
    if (object.Kind == rkKeyCreated || object.Kind == rkSharedKeyCreated) return text;
    const std::string valueName = ValueNameOf(object);
    return text + "\\" + (valueName.empty() ? "(Default)" : valueName);
}

std::string ReadDialogText(const std::string& path, const std::string& name) {
    char text[2048] = "";
    GetPrivateProfileStringA("DLG", name.c_str(), "", text, sizeof text, path.c_str());
    return text;
}

}  // namespace inslog
