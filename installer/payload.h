// The suite's files inside PtrSetup.exe: one resource of type RCDATA per file
// of the table, numbered from 1 in the table's order, each
//
//   "PTRZ"  uncompressed size (32 bits, little-endian)  path length (1 byte)
//   path (the file's path relative to the install folder)  zlib stream
//
// compressed at build time (installer/make_payload.py) and inflated here with
// zlib. The path is checked against the table, so a payload built from
// another list of files is refused rather than installed under wrong names.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace setup {

struct PayloadFile {
    std::string path;
    std::string bytes;
};

constexpr char kPayloadMagic[] = "PTRZ";
constexpr std::uint32_t kMaxPayloadFile = 64u * 1024u * 1024u;

// Reads one resource; false with the reason when it is not a whole, sound file.
bool UnpackPayloadFile(const unsigned char* data, std::size_t size, PayloadFile& file, std::string& error);

// Every file of the table from the module's resources, inflated. Raises the
// error naming the first file that is missing or damaged.
std::vector<PayloadFile> LoadPayload(HMODULE module);

}  // namespace setup
