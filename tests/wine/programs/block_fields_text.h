// "FIELD=VALUE FIELD=VALUE ..." for the test tools that write the live
// settings block, by the names of the block's field table.
#pragma once

#include "settings_fields.h"

#include <cstdlib>
#include <string>

// Writes each field (values in C notation). Stops at the first unknown field
// and returns its name; "" when all were written.
inline std::string WriteSettingsFields(ptr::SettingsBlock& block, const std::string& text) {
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        const std::string item = text.substr(at, end - at);
        at = end + 1;
        const size_t eq = item.find('=');
        if (eq == std::string::npos) continue;
        const std::string name = item.substr(0, eq);
        const ptr::SettingsField* field = ptr::FindSettingsField(name.c_str());
        if (!field) return name;
        ptr::WriteSettingsField(block, *field, static_cast<int32_t>(std::strtoll(item.c_str() + eq + 1, nullptr, 0)));
    }
    return "";
}
