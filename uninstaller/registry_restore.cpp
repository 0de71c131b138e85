#include "registry_restore.h"

#include "reg_key.h"

#include <windows.h>

#include <cstring>

namespace uninst {

using inslog::TUninsRegObject;

void RestoreRegistry(const inslog::TInsLog& log, std::vector<std::string>* notRestored) {
    for (const TUninsRegObject& object : log.RegObjects) {
        inslog::ApplyRegChange(object.RootKey, inslog::KeyNameOf(object), object.Kind, inslog::ValueNameOf(object),
                               inslog::RecordedValue(object));
        if (notRestored && !RecordHolds(object)) notRestored->push_back(inslog::DescribeRecord(object));
    }
}

bool RecordHolds(const TUninsRegObject& object) {
    const std::string keyName = inslog::RelativeKeyPath(inslog::KeyNameOf(object));
    const std::string valueName = inslog::ValueNameOf(object);
    ptr::RegKey key;
    const bool keyThere =
        !keyName.empty() && key.Open(ptr::RootKey(object.RootKey), inslog::RelativeKeyPath(keyName), KEY_READ);
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

}  // namespace uninst
