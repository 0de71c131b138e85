// The short string of the suite's blocks and files: a fixed 256-byte field,
// byte 0 the length n (0 to 255), bytes 1 to n the characters, no terminator.
// Knows bytes, not windows: the file readers build it on Linux too.
#pragma once

#include <cstddef>
#include <string>

namespace ptr {

constexpr std::size_t kShortStringSize = 256;
constexpr std::size_t kMaxShortStringLength = kShortStringSize - 1;

std::string ReadShortString(const unsigned char* field);
// Writes the length and at most 255 characters; the bytes after them keep
// whatever they held (a slot of a shared block).
void WriteShortString(unsigned char* field, const std::string& text);
// The same into a whole field whose bytes after the text are zero (a field of
// a file, which carries nothing left over).
void FillShortString(unsigned char* field, const std::string& text);

}  // namespace ptr
