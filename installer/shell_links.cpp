#include "shell_links.h"

#include "setup_error.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace setup {

namespace {

// Releases a COM interface when it goes out of scope.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (pointer_) pointer_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface** Out() { return &pointer_; }
    void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    Interface* pointer_ = nullptr;
};

std::vector<WCHAR> Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(length > 0 ? static_cast<std::size_t>(length) : 1, 0);
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace

void CreateShellLink(const std::string& linkPath, const std::string& target, const std::string& description) {
    ComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid()))) {
        throw ESetupError("Cannot make the shortcut " + linkPath + ": the shell offers no links.");
    }
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(FolderOf(target).c_str());
    link->SetDescription(description.c_str());
    ComRef<IPersistFile> file;
    const std::vector<WCHAR> widePath = Wide(linkPath);
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid())) || FAILED(file->Save(widePath.data(), TRUE))) {
        throw ESetupError("Cannot save the shortcut " + linkPath + ".");
    }
}

std::string ShellLinkTarget(const std::string& linkPath) {
    ComRef<IShellLinkA> link;
    ComRef<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid())) ||
        FAILED(file->Load(Wide(linkPath).data(), STGM_READ))) {
        return "";
    }
    char target[MAX_PATH] = "";
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return "";
    return target;
}

}  // namespace setup
