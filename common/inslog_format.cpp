#include "inslog_format.h"

#include <algorithm>
#include <cstring>

namespace inslog {

namespace {

// Header offsets.
constexpr std::size_t kReservedTextAt = 0x000;
constexpr std::size_t kProductNameAt = 0x100;
constexpr std::size_t kFontNameAt = 0x200;
constexpr std::size_t kAppWindowClassAt = 0x300;
constexpr std::size_t kAppWindowTitleAt = 0x400;
constexpr std::size_t kReservedFlag1At = 0x500;
constexpr std::size_t kReservedFlag2At = 0x501;
constexpr std::size_t kFileCountAt = 0x502;
constexpr std::size_t kFolderCountAt = 0x506;
constexpr std::size_t kRegistryCountAt = 0x50A;
constexpr std::size_t kReservedWordAt = 0x50E;
static_assert(kReservedWordAt + 4 == kHeaderSize, "the header ends after its reserved word");

std::uint32_t ReadLittle32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void WriteLittle32(unsigned char* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

// A section count from the file: zero or less means empty.
std::size_t SectionCount(const unsigned char* p) {
    const std::int32_t count = static_cast<std::int32_t>(ReadLittle32(p));
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

// Reads `count` entries of `entrySize` bytes from the cursor while they fit;
// returns false at the first one that runs past the end.
class Cursor {
public:
    Cursor(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Left() const { return size_ - offset_; }
    const unsigned char* Take(std::size_t bytes) {
        if (bytes > Left()) return nullptr;
        const unsigned char* at = data_ + offset_;
        offset_ += bytes;
        return at;
    }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

bool ReadStringSection(Cursor& cursor, std::size_t count, std::vector<std::string>& out) {
    // Only what the bytes left can hold is reserved; the rest fails below.
    out.reserve(out.size() + std::min(count, cursor.Left() / ptr::kShortStringSize));
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = cursor.Take(ptr::kShortStringSize);
        if (!entry) return false;
        out.push_back(ptr::ReadShortString(entry));
    }
    return true;
}

}  // namespace

std::string KeyNameOf(const TUninsRegObject& object) { return ptr::ReadShortString(object.KeyName); }
std::string ValueNameOf(const TUninsRegObject& object) { return ptr::ReadShortString(object.ValueName); }
std::string DataTextOf(const TUninsRegObject& object) { return ptr::ReadShortString(object.Data); }

std::int32_t DataIntegerOf(const TUninsRegObject& object) {
    return static_cast<std::int32_t>(ReadLittle32(object.Data));
}

void SetDataInteger(TUninsRegObject& object, std::int32_t value) {
    WriteLittle32(object.Data, static_cast<std::uint32_t>(value));
}

ParseResult ParseLog(const unsigned char* data, std::size_t size, LogContents& out) {
    Cursor cursor(data, size);
    const unsigned char* header = cursor.Take(kHeaderSize);
    if (!header) return ParseResult::ShortRead;
    out.ReservedText = ptr::ReadShortString(header + kReservedTextAt);
    out.ProductName = ptr::ReadShortString(header + kProductNameAt);
    out.FontName = ptr::ReadShortString(header + kFontNameAt);
    out.AppWindowClass = ptr::ReadShortString(header + kAppWindowClassAt);
    out.AppWindowTitle = ptr::ReadShortString(header + kAppWindowTitleAt);
    out.ReservedFlag1 = header[kReservedFlag1At];
    out.ReservedFlag2 = header[kReservedFlag2At];
    out.ReservedHeaderWord = ReadLittle32(header + kReservedWordAt);
    const std::size_t files = SectionCount(header + kFileCountAt);
    const std::size_t folders = SectionCount(header + kFolderCountAt);
    const std::size_t records = SectionCount(header + kRegistryCountAt);

    if (!ReadStringSection(cursor, files, out.Files)) return ParseResult::ShortRead;
    if (!ReadStringSection(cursor, folders, out.Folders)) return ParseResult::ShortRead;
    out.RegObjects.reserve(out.RegObjects.size() + std::min(records, cursor.Left() / kRecordSize));
    for (std::size_t i = 0; i < records; ++i) {
        const unsigned char* entry = cursor.Take(kRecordSize);
        if (!entry) return ParseResult::ShortRead;
        TUninsRegObject object;
        std::memcpy(&object, entry, kRecordSize);
        out.RegObjects.push_back(object);
    }
    return ParseResult::Ok;
}

std::vector<unsigned char> SerializeLog(const LogContents& contents) {
    unsigned char header[kHeaderSize] = {};
    ptr::FillShortString(header + kReservedTextAt, contents.ReservedText);
    ptr::FillShortString(header + kProductNameAt, contents.ProductName);
    ptr::FillShortString(header + kFontNameAt, contents.FontName);
    ptr::FillShortString(header + kAppWindowClassAt, contents.AppWindowClass);
    ptr::FillShortString(header + kAppWindowTitleAt, contents.AppWindowTitle);
    header[kReservedFlag1At] = contents.ReservedFlag1;
    header[kReservedFlag2At] = contents.ReservedFlag2;
    WriteLittle32(header + kFileCountAt, static_cast<std::uint32_t>(contents.Files.size()));
    WriteLittle32(header + kFolderCountAt, static_cast<std::uint32_t>(contents.Folders.size()));
    WriteLittle32(header + kRegistryCountAt, static_cast<std::uint32_t>(contents.RegObjects.size()));
    WriteLittle32(header + kReservedWordAt, contents.ReservedHeaderWord);

    std::vector<unsigned char> bytes(header, header + kHeaderSize);
    unsigned char field[ptr::kShortStringSize];
    for (const std::vector<std::string>* section : {&contents.Files, &contents.Folders}) {
        for (const std::string& path : *section) {
            ptr::FillShortString(field, path);
            bytes.insert(bytes.end(), field, field + ptr::kShortStringSize);
        }
    }
    for (const TUninsRegObject& object : contents.RegObjects) {
        const unsigned char* record = reinterpret_cast<const unsigned char*>(&object);
        bytes.insert(bytes.end(), record, record + kRecordSize);
    }
    return bytes;
}

std::size_t SortedStringList::LowerBound(const std::string& text) const {
    std::size_t low = 0;
    std::size_t high = items_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (compare_(items_[middle], text) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

bool SortedStringList::Add(const std::string& text) {
    const std::size_t at = LowerBound(text);
    if (at < items_.size() && compare_(items_[at], text) == 0) return false;
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), text);
    return true;
}

bool SortedStringList::Contains(const std::string& text) const {
    const std::size_t at = LowerBound(text);
    return at < items_.size() && compare_(items_[at], text) == 0;
}

int CompareAsciiNoCase(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace inslog
