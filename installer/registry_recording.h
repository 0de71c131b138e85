// How the installer records a registry change before it makes it. The log
// says what a removal takes away: the suite's own keys whole, whatever they
// held before (an entry left by an installation whose folder was deleted by
// hand is the suite's too), and in the keys other programs share (Run, the
// list of installed programs, Software) only the suite's own value; such a
// key the installation had to make goes when nothing at all is left in it.
// Apart from the log, the run keeps what each change replaced, exactly, so
// that a failed installation puts back how things were.
#pragma once

#include "inslog.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace setup {

class RegistryRecorder {
public:
    // `beforeChange` runs once the log holds a change's records and before
    // the change is made (the installer saves its log then), with the value
    // about to be written ("HKCU\\Key\\Value").
    using BeforeChange = std::function<void(const std::string& value)>;
    explicit RegistryRecorder(inslog::TInsLog& log, BeforeChange beforeChange = nullptr)
        : log_(log), beforeChange_(std::move(beforeChange)) {}

    // Records the suite's own key as the suite's (a removal deletes it with
    // all it holds); nothing is written (the tray agent makes it when it
    // keeps its settings).
    void RecordOwnKey(std::uint32_t root, const std::string& key);

    // Records, then writes, one value. `ownKey` is the deepest key of the path
    // that belongs to the suite (empty when none does): it is recorded as the
    // suite's; missing keys above it are shared, and so is the key of a value
    // without an own key, where the value alone is the suite's. Raises the
    // installer's error when the value cannot be written.
    void Write(std::uint32_t root, const std::string& ownKey, const std::string& key, const std::string& valueName,
               std::uint8_t kind, const inslog::RegValue& value);

    // The shared keys that were missing, innermost first: their records go
    // after every other, so that a key is looked at once the suite's values
    // in it are gone.
    std::vector<inslog::TUninsRegObject> SharedKeys() const;

    // Puts back everything this run changed, as it was (an installation that failed).
    void Undo() noexcept;

private:
    struct Replaced {
        std::uint32_t root;
        std::string key;        // the outermost key this change made, or the value's key
        std::string valueName;
        bool keyMade;           // the key did not exist: it goes whole
        bool valueExisted;
        DWORD type;
        std::vector<BYTE> data;
    };
    void AddRecord(std::uint32_t root, const std::string& key, std::uint8_t kind, const std::string& valueName);

    inslog::TInsLog& log_;
    BeforeChange beforeChange_;
    std::vector<inslog::TUninsRegObject> shared_;
    std::vector<Replaced> replaced_;
};

// Whether the state `record` describes takes in what `other` says: a key
// the suite owns covers everything below it, a value record the same value,
// a shared key the same key.
bool Covers(const inslog::TUninsRegObject& record, const inslog::TUninsRegObject& other);

// Shared-key records sorted innermost first, without repeats.
std::vector<inslog::TUninsRegObject> OrderSharedKeys(std::vector<inslog::TUninsRegObject> records);

// The log of an installation: the records of this run with the shared keys
// last. For an update, `earlier` is the log of the installation it replaces:
// its files and folders stay listed, and so do the records this run's do not
// cover (shared keys the first installation made, above all).
inslog::TInsLog AssembleLog(const inslog::TInsLog* earlier, const inslog::TInsLog& fresh,
                            const std::vector<inslog::TUninsRegObject>& sharedKeys);

}  // namespace setup
