// How the installer records a registry change before it makes it, so that the
// uninstaller puts back what was there and takes away only what the suite
// put there. A key other programs share (Run, the list of installed
// programs, Software) is never recorded as created, whoever created it: only
// the suite's own values in it are, and the key itself as a shared key that
// goes when nothing at all is left in it.
#pragma once

#include "ainslog.h"

#include <cstdint>
#include <string>
#include <vector>

namespace setup {

class RegistryRecorder {
public:
    explicit RegistryRecorder(uninst::TInsLog& log) : log_(log) {}

    // Records the suite's own key as created when it is missing; nothing is
    // written (the tray agent makes it when it keeps its settings).
    void RecordOwnKey(std::uint32_t root, const std::string& key);

    // Records, then writes, one value. `ownKey` is the deepest key of the path
    // that belongs to the suite (empty when none does): of the missing keys at
    // or below it the outermost is recorded as created; missing keys above it
    // are shared. Raises the registry error when the value cannot be written.
    void Write(std::uint32_t root, const std::string& ownKey, const std::string& key, const std::string& valueName,
               std::uint8_t kind, const uninst::RegValue& value);

    // The shared keys that were missing, innermost first: their records go
    // after every other, so that a key is looked at once the suite's values
    // in it are gone.
    std::vector<inslog::TUninsRegObject> SharedKeys() const;

    // Puts back everything recorded so far (an installation that failed).
    void Undo() noexcept;

private:
    uninst::TInsLog& log_;
    std::vector<inslog::TUninsRegObject> shared_;
};

// Whether the state an earlier record describes already says what `later`
// says: a created key covers everything below it, a value record the same
// value, a shared key the same key.
bool Covers(const inslog::TUninsRegObject& earlier, const inslog::TUninsRegObject& later);

// Shared-key records sorted innermost first, without repeats.
std::vector<inslog::TUninsRegObject> OrderSharedKeys(std::vector<inslog::TUninsRegObject> records);

// The log of an installation: the records of this run with the shared keys
// last. For an upgrade, `earlier` is the log of the installation it replaces,
// which knows how things were before the suite was ever there: its records
// stay and come first, this run's follow only where they say something new,
// and the files and folders of both are listed.
uninst::TInsLog AssembleLog(const uninst::TInsLog* earlier, const uninst::TInsLog& fresh,
                            const std::vector<inslog::TUninsRegObject>& sharedKeys);

}  // namespace setup
