// Start-menu shortcuts, made through the shell's own COM interface
// (IShellLinkA and IPersistFile, which Windows 95 has). The caller has
// initialised COM on its thread (CoInitialize).
#pragma once

#include <string>

namespace setup {

// Saves a link at `linkPath` that starts `target` in its own folder. Raises
// the error naming the link.
void CreateShellLink(const std::string& linkPath, const std::string& target, const std::string& description);

// The file a link starts, as the shell reads it back; empty when it cannot.
std::string ShellLinkTarget(const std::string& linkPath);

}  // namespace setup
