#include "install_log.h"

namespace setup {

uninst::TInsLog NewInstallLog() {
    uninst::TInsLog log;
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
    default: return entry.text;
    }
}

}  // namespace setup
