#include "registry_recording.h"

#include "paths.h"
#include "reg_key.h"
#include "setup_error.h"

#include <algorithm>

namespace setup {

namespace {

using inslog::RelativeKeyPath;
using inslog::TInsLog;
using inslog::TUninsRegObject;

bool SameKey(const std::string& a, const std::string& b) { return ptr::CompareLocaleNoCase(a, b) == 0; }

// `key` is `parent` or lies below it.
bool AtOrBelow(const std::string& key, const std::string& parent) {
    if (key.size() < parent.size() || !SameKey(key.substr(0, parent.size()), parent)) return false;
    return key.size() == parent.size() || key[parent.size()] == '\\';
}

bool KeyExists(std::uint32_t root, const std::string& key) {
    ptr::RegKey opened;
    return opened.Open(ptr::RootKey(root), key, KEY_READ);
}

std::size_t Depth(const TUninsRegObject& record) {
    const std::string key = RelativeKeyPath(inslog::KeyNameOf(record));
    return static_cast<std::size_t>(std::count(key.begin(), key.end(), '\\'));
}

bool IsValueKind(std::uint8_t kind) { return kind >= inslog::rkValueCreated && kind <= inslog::rkBinary; }

}  // namespace

void RegistryRecorder::AddRecord(std::uint32_t root, const std::string& key, std::uint8_t kind,
                                 const std::string& valueName) {
    const TUninsRegObject record = inslog::MakeRecord(root, key, kind, valueName);
    const bool known = std::any_of(log_.RegObjects.begin(), log_.RegObjects.end(),
                                   [&record](const TUninsRegObject& old) { return Covers(old, record); });
    if (!known) log_.RegObjects.push_back(record);
}

void RegistryRecorder::RecordOwnKey(std::uint32_t root, const std::string& key) {
    AddRecord(root, RelativeKeyPath(key), inslog::rkKeyCreated, "");
}

void RegistryRecorder::Write(std::uint32_t root, const std::string& ownKey, const std::string& key,
                             const std::string& valueName, std::uint8_t kind, const inslog::RegValue& value) {
    const std::string path = RelativeKeyPath(key);
    const std::string own = RelativeKeyPath(ownKey);
    if (!own.empty() && !AtOrBelow(path, own)) throw ESetupError("The key " + own + " is not above " + path);
    // The key goes whole, or the value alone in a key the suite shares.
    if (!own.empty()) {
        AddRecord(root, own, inslog::rkKeyCreated, "");
    } else {
        AddRecord(root, path, inslog::rkValueCreated, valueName);
    }
    Replaced replaced{root, path, valueName, false, false, 0, {}};
    for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
        const std::string prefix = path.substr(0, end);
        if (!KeyExists(root, prefix)) {
            if (!replaced.keyMade) {
                replaced.key = prefix;
                replaced.keyMade = true;
            }
            if (own.empty() || !AtOrBelow(prefix, own)) {
                shared_.push_back(inslog::MakeRecord(root, prefix, inslog::rkSharedKeyCreated, ""));
            }
        }
        if (end == std::string::npos) break;
    }
    if (!replaced.keyMade) {
        ptr::RegKey existing;
        replaced.valueExisted = existing.Open(ptr::RootKey(root), path, KEY_READ) &&
                                existing.ReadRaw(valueName, replaced.type, replaced.data);
    }
    if (beforeChange_) {
        beforeChange_(inslog::DescribeRecord(inslog::MakeRecord(root, path, inslog::rkValueCreated, valueName)));
    }
    replaced_.push_back(replaced);
    ptr::RegKey made;
    if (!made.Create(ptr::RootKey(root), path, KEY_WRITE)) {
        throw ESetupError("Failed to set data for '" + valueName + "'");
    }
    made.Close();
    inslog::ApplyRegChange(root, path, kind, valueName, value);
}

std::vector<TUninsRegObject> RegistryRecorder::SharedKeys() const { return OrderSharedKeys(shared_); }

void RegistryRecorder::Undo() noexcept {
    for (auto change = replaced_.rbegin(); change != replaced_.rend(); ++change) {
        const HKEY root = ptr::RootKey(change->root);
        if (change->keyMade) {
            ptr::DeleteKeyTree(root, change->key);
            continue;
        }
        ptr::RegKey key;
        if (!key.Open(root, change->key, KEY_ALL_ACCESS)) continue;
        if (change->valueExisted) {
            key.WriteRaw(change->valueName, change->type, change->data);
        } else {
            key.DeleteValue(change->valueName);
        }
    }
    replaced_.clear();
}

bool Covers(const TUninsRegObject& record, const TUninsRegObject& other) {
    if (record.RootKey != other.RootKey) return false;
    const std::string key = RelativeKeyPath(inslog::KeyNameOf(record));
    const std::string otherKey = RelativeKeyPath(inslog::KeyNameOf(other));
    if (record.Kind == inslog::rkKeyCreated) return AtOrBelow(otherKey, key);
    if (record.Kind == inslog::rkSharedKeyCreated) {
        return other.Kind == inslog::rkSharedKeyCreated && SameKey(key, otherKey);
    }
    return IsValueKind(record.Kind) && IsValueKind(other.Kind) && SameKey(key, otherKey) &&
           inslog::ValueNameOf(record) == inslog::ValueNameOf(other);
}

std::vector<TUninsRegObject> OrderSharedKeys(std::vector<TUninsRegObject> records) {
    std::vector<TUninsRegObject> unique;
    for (const TUninsRegObject& record : records) {
        const bool repeated = std::any_of(unique.begin(), unique.end(),
                                          [&record](const TUninsRegObject& kept) { return Covers(kept, record); });
        if (!repeated) unique.push_back(record);
    }
    std::stable_sort(unique.begin(), unique.end(),
                     [](const TUninsRegObject& a, const TUninsRegObject& b) { return Depth(a) > Depth(b); });
    return unique;
}

TInsLog AssembleLog(const TInsLog* earlier, const TInsLog& fresh, const std::vector<TUninsRegObject>& sharedKeys) {
    TInsLog log = fresh;
    log.RegObjects.clear();
    std::vector<TUninsRegObject> shared = sharedKeys;
    if (earlier) {
        for (const std::string& file : earlier->Files.Items()) log.Files.Add(file);
        for (const std::string& folder : earlier->Folders.Items()) log.Folders.Add(folder);
        for (const TUninsRegObject& record : earlier->RegObjects) {
            if (record.Kind == inslog::rkSharedKeyCreated) {
                shared.insert(shared.begin(), record);
                continue;
            }
            // What this run records of the suite's own says how a removal leaves it.
            const bool replaced = std::any_of(fresh.RegObjects.begin(), fresh.RegObjects.end(),
                                              [&record](const TUninsRegObject& now) { return Covers(now, record); });
            if (!replaced) log.RegObjects.push_back(record);
        }
    }
    log.RegObjects.insert(log.RegObjects.end(), fresh.RegObjects.begin(), fresh.RegObjects.end());
    const std::vector<TUninsRegObject> ordered = OrderSharedKeys(shared);
    log.RegObjects.insert(log.RegObjects.end(), ordered.begin(), ordered.end());
    return log;
}

}  // namespace setup
