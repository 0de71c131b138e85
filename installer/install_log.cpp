#include "install_log.h"

namespace setup {

inslog::TInsLog NewInstallLog() {
    inslog::TInsLog log;
    log.ProductName = ptr::kProductName;
    log.FontName = kWizardFont;
    log.AppWindowClass = ptr::kAgentWindowClass;
    log.AppWindowTitle = ptr::kAgentWindowTitle;
    return log;
}

std::string RegistryValueText(const RegistryEntry& entry, const std::string& target) {
    switch (entry.source) {
    case ValueSource::InstallFolder: return target;
    case ValueSource::QuotedFile: return '"' + target + "\\" + entry.text + '"';
    case ValueSource::QuotedFileWithArgument:
        return '"' + target + "\\" + entry.text + "\" " + entry.argument;
    default: return entry.text;
    }
}

inslog::RegValue RegistryValueOf(const RegistryEntry& entry, const InstallFacts& facts) {
    inslog::RegValue value;
    switch (entry.source) {
    case ValueSource::Number: value.number = entry.number; break;
    case ValueSource::InstalledSize: value.number = static_cast<std::int32_t>(facts.sizeKb); break;
    case ValueSource::InstallDate: value.text = facts.date; break;
    default: value.text = RegistryValueText(entry, facts.target); break;
    }
    return value;
}

std::string DialogTextFile() {
    std::string text = "[DLG]\r\n";
    for (const Caption& caption : kCaptions) text += std::string(caption.control) + "=" + caption.text + "\r\n";
    return text;
}

}  // namespace setup
