#include "form_keys.h"

#include <cctype>

namespace setting {

namespace {

constexpr unsigned kTabKey = 0x09;       // VK_TAB
constexpr unsigned kPageUpKey = 0x21;    // VK_PRIOR
constexpr unsigned kPageDownKey = 0x22;  // VK_NEXT

}  // namespace

int TabStepOfKey(unsigned virtualKey, bool control, bool shift) {
    if (!control) return 0;
    if (virtualKey == kTabKey) return shift ? -1 : 1;
    if (shift) return 0;
    if (virtualKey == kPageDownKey) return 1;
    if (virtualKey == kPageUpKey) return -1;
    return 0;
}

int TabAfterStep(int current, int count, int step) {
    if (count <= 0) return current;
    return ((current + step) % count + count) % count;
}

char MnemonicOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;  // "&&" is an ampersand shown as it is
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    }
    return 0;
}

int TabOfMnemonic(const std::vector<std::string>& captions, char typed) {
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
    for (size_t tab = 0; tab < captions.size(); ++tab)
        if (letter != 0 && letter != '&' && MnemonicOf(captions[tab]) == letter) return static_cast<int>(tab);
    return -1;
}

}  // namespace setting
