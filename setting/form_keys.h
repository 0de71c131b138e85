// The keys with which a Windows user turns the pages of a tabbed dialog,
// beside those the dialog manager knows: Ctrl+Tab and Ctrl+PgDn show the next
// tab, Ctrl+Shift+Tab and Ctrl+PgUp the one before (both wrap around), and
// Alt with the underlined letter of a tab's caption shows that tab.
#pragma once

#include <string>
#include <vector>

namespace setting {

// +1 for the next tab, -1 for the one before, 0 for a key that turns no page.
int TabStepOfKey(unsigned virtualKey, bool control, bool shift);

// The tab a step leads to, among count tabs.
int TabAfterStep(int current, int count, int step);

// The upper-case letter marked by a single '&' in a caption, or 0.
char MnemonicOf(const std::string& caption);

// The tab whose caption marks the typed letter (in either case), or -1.
int TabOfMnemonic(const std::vector<std::string>& captions, char typed);

}  // namespace setting
