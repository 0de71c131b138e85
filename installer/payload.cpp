#include "payload.h"

#include "install_table.h"
#include "setup_error.h"

#include <zlib.h>

#include <cstring>

namespace setup {

namespace {

constexpr std::size_t kHeaderSize = 9;  // magic, size, path length

std::uint32_t ReadWord(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

}  // namespace

bool UnpackPayloadFile(const unsigned char* data, std::size_t size, PayloadFile& file, std::string& error) {
    if (!data || size < kHeaderSize || std::memcmp(data, kPayloadMagic, 4) != 0) {
        error = "not a file of the suite";
        return false;
    }
    const std::uint32_t length = ReadWord(data + 4);
    const std::size_t pathLength = data[8];
    if (length > kMaxPayloadFile) {
        error = "too large";
        return false;
    }
    if (pathLength == 0 || size - kHeaderSize < pathLength) {
        error = "cut short";
        return false;
    }
    file.path.assign(reinterpret_cast<const char*>(data + kHeaderSize), pathLength);
    const unsigned char* stream = data + kHeaderSize + pathLength;
    const std::size_t streamSize = size - kHeaderSize - pathLength;
    // One byte more room than announced, so that a stream holding more than
    // its header says is caught rather than cut.
    std::string room(static_cast<std::size_t>(length) + 1, '\0');
    uLongf inflated = static_cast<uLongf>(room.size());
    const int result = uncompress(reinterpret_cast<Bytef*>(&room[0]), &inflated, stream, static_cast<uLong>(streamSize));
    if (result != Z_OK || inflated != length) {
        error = "damaged";
        return false;
    }
    file.bytes.assign(room.data(), length);
    return true;
}

std::vector<PayloadFile> LoadPayload(HMODULE module) {
    std::vector<PayloadFile> files;
    WORD id = 1;
    for (const InstalledFile& entry : kInstalledFiles) {
        const std::string name = entry.path;
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const auto* data = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
        if (!data) throw ESetupError("Setup does not carry " + name + ": it is damaged.");
        PayloadFile file;
        std::string error;
        if (!UnpackPayloadFile(data, SizeofResource(module, found), file, error)) {
            throw ESetupError("Setup's copy of " + name + " is " + error + ".");
        }
        if (lstrcmpiA(file.path.c_str(), entry.path) != 0) {
            throw ESetupError("Setup carries " + file.path + " where " + name + " belongs.");
        }
        file.path = entry.path;
        files.push_back(std::move(file));
        ++id;
    }
    return files;
}

}  // namespace setup
