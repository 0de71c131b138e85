// Arbitrary bytes as an installation log: the parser never reads past the
// input or allocates for counts the input cannot hold, and what it reads is
// written back and read again unchanged.
#include "inslog_format.h"

#include <cstdlib>
#include <cstring>

namespace {

bool SameContents(const inslog::LogContents& a, const inslog::LogContents& b) {
    if (a.RegObjects.size() != b.RegObjects.size()) return false;
    for (std::size_t i = 0; i < a.RegObjects.size(); ++i) {
        if (std::memcmp(&a.RegObjects[i], &b.RegObjects[i], sizeof a.RegObjects[i]) != 0) return false;
    }
    return a.ReservedText == b.ReservedText && a.ProductName == b.ProductName && a.FontName == b.FontName &&
           a.AppWindowClass == b.AppWindowClass && a.AppWindowTitle == b.AppWindowTitle &&
           a.ReservedFlag1 == b.ReservedFlag1 && a.ReservedFlag2 == b.ReservedFlag2 &&
           a.ReservedHeaderWord == b.ReservedHeaderWord && a.Files == b.Files && a.Folders == b.Folders;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    inslog::LogContents read;
    if (inslog::ParseLog(data, size, read) != inslog::ParseResult::Ok) return 0;
    const std::vector<unsigned char> written = inslog::SerializeLog(read);
    inslog::LogContents again;
    if (inslog::ParseLog(written.data(), written.size(), again) != inslog::ParseResult::Ok ||
        !SameContents(read, again)) {
        std::abort();
    }
    return 0;
}
