// The installation log's bytes: the 1298-byte header, the file and folder
// sections of 256-byte short strings and the 773-byte registry records.
// Knows bytes, not windows, so it also builds on Linux for fuzzing.
#pragma once

#include "short_string.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace inslog {

constexpr std::size_t kHeaderSize = 1298;
constexpr std::size_t kRecordSize = 773;
// A log is a few kilobytes; anything past this is not a log of ours.
constexpr std::size_t kMaxLogSize = 64u * 1024u * 1024u;

// Record kinds: the state of a key or value before installation.
enum RecordKind : std::uint8_t {
    rkKeyCreated = 0,
    rkValueCreated = 1,
    rkString = 2,
    rkExpandString = 3,
    rkInteger = 4,
    rkBinary = 5,
    // A key that other programs share (Run, the list of installed programs)
    // did not exist: the suite's values in it are recorded on their own, and
    // the key is deleted only when nothing at all is left in it. Readers that
    // know kinds 0 to 5 only skip it, which leaves an empty key at worst.
    rkSharedKeyCreated = 6,
};

// Every text of the log is a short string, written into a whole field whose
// bytes after the text are zero; texts longer than 255 characters are cut.

#pragma pack(push, 1)
// One registry record, read straight from and written straight to the file.
struct TUninsRegObject {
    std::uint32_t RootKey = 0;
    unsigned char KeyName[ptr::kShortStringSize] = {};
    unsigned char ValueName[ptr::kShortStringSize] = {};
    std::uint8_t Kind = 0;
    unsigned char Data[ptr::kShortStringSize] = {};
};
#pragma pack(pop)
static_assert(sizeof(TUninsRegObject) == kRecordSize, "a registry record is 773 packed bytes");

std::string KeyNameOf(const TUninsRegObject& object);
std::string ValueNameOf(const TUninsRegObject& object);
std::string DataTextOf(const TUninsRegObject& object);
// Kind 4: the signed 32-bit number in the first four data bytes, little-endian.
std::int32_t DataIntegerOf(const TUninsRegObject& object);
void SetDataInteger(TUninsRegObject& object, std::int32_t value);

// Everything a log holds, in file order.
struct LogContents {
    std::string ReservedText;
    std::string ProductName;
    std::string FontName;
    std::string AppWindowClass;
    std::string AppWindowTitle;
    std::uint8_t ReservedFlag1 = 0;
    std::uint8_t ReservedFlag2 = 0;
    std::uint32_t ReservedHeaderWord = 0;
    std::vector<std::string> Files;
    std::vector<std::string> Folders;
    std::vector<TUninsRegObject> RegObjects;
};

enum class ParseResult { Ok, ShortRead };

// Reads a whole log. Every count is checked against the bytes left before
// anything is allocated; a count of zero or less is an empty section; bytes
// after the last record are ignored. On ShortRead `out` holds what was read
// before the end was reached.
ParseResult ParseLog(const unsigned char* data, std::size_t size, LogContents& out);

// The same layout, written.
std::vector<unsigned char> SerializeLog(const LogContents& contents);

// A list kept in ascending order by `compare` (negative, zero, positive) that
// drops an entry comparing equal to one already present; the first one stays.
class SortedStringList {
public:
    using Compare = std::function<int(const std::string&, const std::string&)>;
    explicit SortedStringList(Compare compare) : compare_(std::move(compare)) {}

    // Returns false when an equal entry is already there.
    bool Add(const std::string& text);
    bool Contains(const std::string& text) const;
    const std::vector<std::string>& Items() const { return items_; }
    std::size_t Count() const { return items_.size(); }
    const std::string& operator[](std::size_t index) const { return items_[index]; }

private:
    std::size_t LowerBound(const std::string& text) const;
    Compare compare_;
    std::vector<std::string> items_;
};

// Case-insensitive comparison of ASCII letters, byte order otherwise; the
// uninstaller itself sorts with the user locale's rule.
int CompareAsciiNoCase(const std::string& a, const std::string& b);

}  // namespace inslog
