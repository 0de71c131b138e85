#include "registry_recording.h"

#include "reg_key.h"

#include <algorithm>

namespace setup {

namespace {

using inslog::TUninsRegObject;

std::string Relative(const std::string& key) { return !key.empty() && key[0] == '\\' ? key.substr(1) : key; }

bool SameKey(const std::string& a, const std::string& b) { return uninst::CompareLocaleNoCase(a, b) == 0; }

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
    const std::string key = Relative(inslog::KeyNameOf(record));
    return static_cast<std::size_t>(std::count(key.begin(), key.end(), '\\'));
}

bool IsValueKind(std::uint8_t kind) { return kind >= inslog::rkValueCreated && kind <= inslog::rkBinary; }

}  // namespace

void RegistryRecorder::RecordOwnKey(std::uint32_t root, const std::string& key) {
    if (!KeyExists(root, Relative(key))) log_.RecordKey(root, Relative(key), inslog::rkKeyCreated);
}

void RegistryRecorder::Write(std::uint32_t root, const std::string& ownKey, const std::string& key,
                             const std::string& valueName, std::uint8_t kind, const uninst::RegValue& value) {
    const std::string path = Relative(key);
    const std::string own = Relative(ownKey);
    if (!own.empty() && !AtOrBelow(path, own)) throw uninst::EUninstError("The key " + own + " is not above " + path);
    for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
        const std::string prefix = path.substr(0, end);
        if (!KeyExists(root, prefix)) {
            if (!own.empty() && AtOrBelow(prefix, own)) {
                // Everything below the outermost missing key of the suite's own goes with it.
                log_.RecordKey(root, prefix, inslog::rkKeyCreated);
                break;
            }
            uninst::TInsLog sharedKey;
            sharedKey.RecordKey(root, prefix, inslog::rkSharedKeyCreated);
            shared_.push_back(sharedKey.RegObjects.front());
        }
        if (end == std::string::npos) break;
    }
    ptr::RegKey made;
    if (!made.Create(ptr::RootKey(root), path, KEY_WRITE)) {
        throw uninst::EUninstError("Failed to set data for '" + valueName + "'");
    }
    made.Close();
    log_.RecordValueState(root, path, valueName);
    log_.ApplyRegChange(root, path, kind, valueName, value, false);
}

std::vector<TUninsRegObject> RegistryRecorder::SharedKeys() const { return OrderSharedKeys(shared_); }

void RegistryRecorder::Undo() noexcept {
    try {
        uninst::TInsLog undo;
        undo.RegObjects = log_.RegObjects;
        const std::vector<TUninsRegObject> shared = SharedKeys();
        undo.RegObjects.insert(undo.RegObjects.end(), shared.begin(), shared.end());
        undo.RestoreRegistry();
    } catch (const uninst::EUninstError&) {
        // What cannot be put back stays; the failure that led here is reported.
    }
}

bool Covers(const TUninsRegObject& earlier, const TUninsRegObject& later) {
    if (earlier.RootKey != later.RootKey) return false;
    const std::string earlierKey = Relative(inslog::KeyNameOf(earlier));
    const std::string laterKey = Relative(inslog::KeyNameOf(later));
    if (earlier.Kind == inslog::rkKeyCreated) return AtOrBelow(laterKey, earlierKey);
    if (earlier.Kind == inslog::rkSharedKeyCreated) {
        return later.Kind == inslog::rkSharedKeyCreated && SameKey(earlierKey, laterKey);
    }
    return IsValueKind(earlier.Kind) && IsValueKind(later.Kind) && SameKey(earlierKey, laterKey) &&
           inslog::ValueNameOf(earlier) == inslog::ValueNameOf(later);
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

uninst::TInsLog AssembleLog(const uninst::TInsLog* earlier, const uninst::TInsLog& fresh,
                            const std::vector<TUninsRegObject>& sharedKeys) {
    uninst::TInsLog log = fresh;
    log.RegObjects.clear();
    std::vector<TUninsRegObject> shared = sharedKeys;
    if (earlier) {
        for (const std::string& file : earlier->Files.Items()) log.Files.Add(file);
        for (const std::string& folder : earlier->Folders.Items()) log.Folders.Add(folder);
        for (const TUninsRegObject& record : earlier->RegObjects) {
            if (record.Kind == inslog::rkSharedKeyCreated) {
                shared.insert(shared.begin(), record);
            } else {
                log.RegObjects.push_back(record);
            }
        }
    }
    for (const TUninsRegObject& record : fresh.RegObjects) {
        const bool known = earlier && std::any_of(earlier->RegObjects.begin(), earlier->RegObjects.end(),
                                                  [&record](const TUninsRegObject& old) { return Covers(old, record); });
        if (!known) log.RegObjects.push_back(record);
    }
    const std::vector<TUninsRegObject> ordered = OrderSharedKeys(shared);
    log.RegObjects.insert(log.RegObjects.end(), ordered.begin(), ordered.end());
    return log;
}

}  // namespace setup
