// The installation log in memory (TInsLog), its registry records
// (TUninsRegObject) and the one registry primitive that records a key or
// value's present state and puts it back (ApplyRegChange).
#pragma once

#include "inslog_format.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace uninst {

using inslog::TUninsRegObject;

// A failure with a message for the user: stream, registry and start-up errors.
class EUninstError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What ApplyRegChange writes: the text of kinds 2, 3 and 5 (for kind 5 its
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
    inslog::SortedStringList ReservedSortedList;
    inslog::SortedStringList Files;
    inslog::SortedStringList Folders;
    std::vector<std::string> ReservedList;
    std::vector<TUninsRegObject> RegObjects;

    // Raises "Cannot open file <path>" or "Stream read error".
    void LoadFromFile(const std::string& path);
    // The layout LoadFromFile reads. Raises "Cannot create file <path>".
    void SaveToFile(const std::string& path) const;
    // The same bytes.
    std::vector<unsigned char> SaveToBytes() const;

    // The restore action of every record, first to last. With `notRestored`,
    // each record whose state does not hold once its action is done (a key
    // still there, a value not as it was) is named there ("HKCU\\Key\\Value").
    void RestoreRegistry(std::vector<std::string>* notRestored = nullptr);

    // With record false: the restore action of `kind`. With record true: first
    // appends records of the present state, then performs the same action
    // (kind 0 deletes the key, 1 the value, 2 to 5 write `value`, 6 deletes
    // the key if it is empty; kind 6 records nothing). A value the log cannot
    // hold whole (a type it has no kind for, a text or data longer than 255)
    // is left alone: neither recorded nor changed, nor is a key tree holding one.
    // Raises "Failed to set data for '<value name>'" when a write fails.
    void ApplyRegChange(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                        const std::string& valueName, const RegValue& value, bool record);

    // Before a write that creates keys: appends a kind 0 record for the
    // outermost key of the path that does not exist yet when that is above the
    // key itself (a write records a missing key of its own), so that restoring
    // removes every key the write creates.
    void RecordMissingKeys(std::uint32_t rootKey, const std::string& keyName);

    // Appends a record of the value's present state: kinds 2 to 5 with its
    // content, or kind 1 when it does not exist. False, with nothing
    // recorded, for a value the log cannot hold whole, which is then not to
    // be changed. Nothing is changed here.
    bool RecordValueState(std::uint32_t rootKey, const std::string& keyName, const std::string& valueName);
    // Appends a record of kind 0 or 6 for a key, without looking at it.
    void RecordKey(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind);

private:
    enum class ValueState { Recorded, Missing, TooMuch };
    bool RecordKeyTree(std::uint32_t rootKey, const std::string& keyName);
    ValueState RecordValue(std::uint32_t rootKey, const std::string& keyName, const std::string& valueName);
    void AppendRecord(std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                      const std::string& valueName);
};

// Whether the state a record describes holds now.
bool RecordHolds(const TUninsRegObject& object);
// A record's key or value as the user reads it: "HKCU\\Software\\Key" for a
// key, "HKCU\\Software\\Key\\Value" for a value ("(Default)" for the unnamed one).
std::string DescribeRecord(const TUninsRegObject& object);

// Compares as the user's locale sorts, ignoring case.
int CompareLocaleNoCase(const std::string& a, const std::string& b);

// The caption of one wizard control: the key `name` of section "DLG" of the
// dialog text file, empty when missing; at most 2047 characters.
std::string ReadDialogText(const std::string& path, const std::string& name);

}  // namespace uninst
