#include "log_recording.h"

#include "reg_key.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace setup {

namespace {

using inslog::TInsLog;
using inslog::TUninsRegObject;

enum class ValueState { Recorded, Missing, TooMuch };

bool OpenKey(ptr::RegKey& key, std::uint32_t rootKey, const std::string& keyName) {
    return key.Open(ptr::RootKey(rootKey), inslog::RelativeKeyPath(keyName), KEY_READ);
}

void AppendRecord(TInsLog& log, std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                  const std::string& valueName) {
    log.RegObjects.push_back(inslog::MakeRecord(rootKey, keyName, kind, valueName));
}

ValueState RecordValue(TInsLog& log, std::uint32_t rootKey, const std::string& keyName,
                       const std::string& valueName) {
    ptr::RegKey key;
    if (!OpenKey(key, rootKey, keyName)) return ValueState::Missing;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!key.ReadRaw(valueName, type, data)) return ValueState::Missing;
    const std::string bytes(reinterpret_cast<const char*>(data.data()), data.size());
    TUninsRegObject object = inslog::MakeRecord(rootKey, keyName, inslog::rkKeyCreated, valueName);
    const std::string text = bytes.substr(0, bytes.find('\0'));  // a text ends at its first zero, stored or not
    if (type == REG_DWORD && bytes.size() == sizeof(std::int32_t)) {
        std::int32_t number = 0;
        std::memcpy(&number, bytes.data(), sizeof number);
        object.Kind = inslog::rkInteger;
        inslog::SetDataInteger(object, number);
    } else if (type == REG_BINARY && bytes.size() < ptr::kShortStringSize) {
        object.Kind = inslog::rkBinary;
        ptr::FillShortString(object.Data, bytes);
    } else if ((type == REG_SZ || type == REG_EXPAND_SZ) && text.size() < ptr::kShortStringSize) {
        object.Kind = type == REG_SZ ? inslog::rkString : inslog::rkExpandString;
        ptr::FillShortString(object.Data, text);
    } else {
        // Another type, or more than a record holds: it could not be put back as it is.
        return ValueState::TooMuch;
    }
    log.RegObjects.push_back(object);
    return ValueState::Recorded;
}

// False, with nothing of the tree recorded, when something in it cannot be
// recorded whole (a value, or a key or value name too long for the log): the
// tree is then left alone.
bool RecordKeyTree(TInsLog& log, std::uint32_t rootKey, const std::string& keyName) {
    const std::size_t before = log.RegObjects.size();
    ptr::RegKey key;
    if (!OpenKey(key, rootKey, keyName)) return true;
    bool whole = true;
    for (const std::string& subkey : key.SubkeyNames()) {
        const std::string path = keyName + "\\" + subkey;
        whole = whole && path.size() < ptr::kShortStringSize && RecordKeyTree(log, rootKey, path);
    }
    for (const std::string& valueName : key.ValueNames()) {
        whole = whole && valueName.size() < ptr::kShortStringSize &&
                RecordValue(log, rootKey, keyName, valueName) != ValueState::TooMuch;
    }
    if (!whole) log.RegObjects.resize(before);
    return whole;
}

}  // namespace

bool RecordRegChange(TInsLog& log, std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                     const std::string& valueName) {
    if (kind >= inslog::rkSharedKeyCreated) return true;
    inslog::CheckRecordable(keyName, valueName);
    if (kind == inslog::rkKeyCreated) {
        return inslog::RelativeKeyPath(keyName).empty() || RecordKeyTree(log, rootKey, keyName);
    }
    if (kind == inslog::rkValueCreated) return RecordValue(log, rootKey, keyName, valueName) != ValueState::TooMuch;
    {
        ptr::RegKey existing;
        if (!OpenKey(existing, rootKey, keyName)) AppendRecord(log, rootKey, keyName, inslog::rkKeyCreated, "");
    }
    const ValueState state = RecordValue(log, rootKey, keyName, valueName);
    if (state == ValueState::TooMuch) return false;
    if (state == ValueState::Missing) AppendRecord(log, rootKey, keyName, inslog::rkValueCreated, valueName);
    return true;
}

void RecordMissingKeys(TInsLog& log, std::uint32_t rootKey, const std::string& keyName) {
    inslog::CheckRecordable(keyName, "");
    const std::string path = inslog::RelativeKeyPath(keyName);
    std::size_t end = 0;
    while (end != std::string::npos) {
        end = path.find('\\', end + 1);
        const std::string prefix = path.substr(0, end);
        ptr::RegKey key;
        if (prefix.empty() || OpenKey(key, rootKey, prefix)) continue;
        // The write records a missing key of its own.
        if (prefix.size() < path.size()) AppendRecord(log, rootKey, prefix, inslog::rkKeyCreated, "");
        return;
    }
}

bool RecordValueState(TInsLog& log, std::uint32_t rootKey, const std::string& keyName, const std::string& valueName) {
    inslog::CheckRecordable(keyName, valueName);
    const ValueState state = RecordValue(log, rootKey, keyName, valueName);
    if (state == ValueState::Missing) AppendRecord(log, rootKey, keyName, inslog::rkValueCreated, valueName);
    return state != ValueState::TooMuch;
}

}  // namespace setup
