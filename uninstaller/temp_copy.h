// The temporary copy of uninst.exe that does the removal: its unique name,
// the command line the first instance starts it with and how the copy reads
// it, and the files named after the installed executable. No window system.
#pragma once

#include "paths.h"

#include <cstdint>
#include <functional>
#include <string>

namespace uninst {

constexpr std::uint32_t kNameSpace = 0x2000000;  // 2^25 name codes
constexpr char kNameAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
constexpr char kTempPrefix[] = "is-";
constexpr char kTempExtension[] = ".TMP";

// Drops control characters and spaces at both ends; a path with a space that is
// not already enclosed in double quotes gets them.
std::string Quote(const std::string& path);
// Replaces the extension (from the last dot of the last path part) or appends one.
std::string ChangeFileExt(const std::string& path, const std::string& extension);
// Five digits of the name alphabet, the lowest five bits last.
std::string NameCode(std::uint32_t code);

// Picks the first free name folder\is-XXXXX.ext after `start`, going round the
// name space; returns false when every name is taken.
bool UniqueName(const std::string& folder, const std::string& extension, std::uint32_t start,
                const std::function<bool(const std::string&)>& pathExists, std::string& name);

// The arguments the first instance hands to the copy: " <quoted path> $<HEX>".
std::string CopyArguments(const std::string& installedExecutable, std::uint32_t signalWindow);

// An integer as the second argument carries it: decimal, or hexadecimal after
// "$" or "0x"; an optional sign. False when the text is not a number of 32 bits.
bool ParseInteger(const std::string& text, std::int32_t& value);
std::string NotAnIntegerMessage(const std::string& text);

}  // namespace uninst
