// The installation log's own recording rule: before a key or value changes,
// the records that put back what the change replaces go into the log. A
// value the log cannot hold whole (a type it has no kind for, a text or data
// longer than 255) is neither recorded nor to be changed, nor is a key tree
// holding one. The installer's own changes follow the rules of
// registry_recording, which the suite's keys need.
#pragma once

#include "inslog.h"

#include <cstdint>
#include <string>

namespace setup {

// Appends the records of the present state of what the action of `kind`
// (inslog::ApplyRegChange) is about to change: kind 0 every value of the key
// tree, subkeys first (no record for the keys themselves); kind 1 the value;
// kinds 2 to 5 a kind 0 record for a key that does not exist, then the
// value's present content, or kind 1 where there is none; kind 6 and unknown
// kinds nothing. False, with nothing recorded, when the change is to be left
// undone. Raises the registry error for a name too long to record.
bool RecordRegChange(inslog::TInsLog& log, std::uint32_t rootKey, const std::string& keyName, std::uint8_t kind,
                     const std::string& valueName);

// Before a write that creates keys: appends a kind 0 record for the
// outermost key of the path that does not exist yet when that is above the
// key itself (a write records a missing key of its own), so that restoring
// removes every key the write creates.
void RecordMissingKeys(inslog::TInsLog& log, std::uint32_t rootKey, const std::string& keyName);

// Appends a record of the value's present state: kinds 2 to 5 with its
// content, or kind 1 when it does not exist. False, with nothing recorded,
// for a value the log cannot hold whole, which is then not to be changed.
// Nothing is changed here.
bool RecordValueState(inslog::TInsLog& log, std::uint32_t rootKey, const std::string& keyName,
                      const std::string& valueName);

}  // namespace setup
