// The installation log in memory (TInsLog) and what a record of it means on
// the registry: the contract between the installer, which records the state
// it changes, and the uninstaller, which puts that state back. The bytes are
// inslog_format's.
#pragma once

#include "inslog_format.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace inslog {

// A log that cannot be read or written, a registry change it describes that
// cannot be made, a name too long for a record: the stream and registry
// errors, with a message for the user.
class EInsLogError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a change writes: the text of kinds 2, 3 and 5 (for kind 5 its
// characters are the bytes), the number of kind 4.
struct RegValue {
    std::string text;
    std::int32_t number = 0;
};

class TInsLog {
public:
    TInsLog();

    std::uint8_t ReservedFlag1 = 0;
    std::uint8_t ReservedFlag2 = 0;
    std::string ProductName;
    std::string ReservedText;
    std::string FontName;
    std::string AppWindowTitle;
    std::string AppWindowClass;
    SortedStringList ReservedSortedList;
    SortedStringList Files;
    SortedStringList Folders;
    std::vector<std::string> ReservedList;
    std::vector<TUninsRegObject> RegObjects;

    // Raises "Cannot open file <path>" or "Stream read error".
    void LoadFromFile(const std::string& path);
    // The layout LoadFromFile reads. Raises "Cannot create file <path>".
    void SaveToFile(const std::string& path) const;
    // The same bytes.
    std::vector<unsigned char> SaveToBytes() const;
};

// One leading backslash names the same key as the path without it.
std::string RelativeKeyPath(const std::string& keyName);

// Raises the registry error when a key or value name does not fit a record
// whole: cut, it would name another key or value on restore.
void CheckRecordable(const std::string& keyName, const std::string& valueName);
// A record of a key or value, its data zero. Raises as CheckRecordable.
TUninsRegObject MakeRecord(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                           const std::string& valueName);
// The value a record of kinds 2 to 5 holds, as ApplyRegChange writes it.
RegValue RecordedValue(const TUninsRegObject& object);

// The action of a record's kind on the registry, each on a fresh key opened
// for it: kind 0 deletes the key with all it holds, 1 the value, 2 to 5
// write `value` with the kind's type (creating the key), 6 deletes the key
// when nothing at all is left in it; other kinds do nothing, and so does a
// key or value that is not there. The uninstaller puts a record's state back
// with it, the installer makes its changes with it. Raises "Failed to set
// data for '<value name>'" when a write fails.
void ApplyRegChange(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                    const std::string& valueName, const RegValue& value);

// A record's key or value as the user reads it: "HKCU\\Software\\Key" for a
// key, "HKCU\\Software\\Key\\Value" for a value ("(Default)" for the unnamed one).
std::string DescribeRecord(const TUninsRegObject& object);

// The caption of one wizard control: the key `name` of section "DLG" of the
// dialog text file, empty when missing; at most 2047 characters.
std::string ReadDialogText(const std::string& path, const std::string& name);

}  // namespace inslog
