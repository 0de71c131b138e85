#include "setup_system.h"

#include "file_checks.h"
#include "folder_contents.h"
#include "install_journal.h"
#include "paths.h"
#include "reg_key.h"
#include "suite_names.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

namespace setup {

namespace {

constexpr std::size_t kForeignFilesNamed = 5;

std::string ShellFolder(int csidl) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list) return "";
    char path[MAX_PATH] = "";
    const bool found = SHGetPathFromIDListA(list, path) != FALSE;
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(list);
        allocator->Release();
    }
    return found ? ptr::RemoveBackslash(path) : "";
}

// The shell's list of its folders, which Windows 2000 and later keep for
// programs older than shell32 5.0.
std::string RegisteredShellFolder(const char* name) {
    ptr::RegKey key;
    std::string path;
    if (key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", KEY_READ))
        key.ReadString(name, path, MAX_PATH);
    return ptr::RemoveBackslash(path);
}

// Opening for writing changes nothing, and is refused without the rights.
bool CanWriteKey(const char* key, REGSAM access) {
    std::string path = key;
    for (;;) {
        HKEY opened = nullptr;
        const LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &opened);
        if (result == ERROR_SUCCESS) {
            RegCloseKey(opened);
            return true;
        }
        if (result != ERROR_FILE_NOT_FOUND) return false;
        // A missing key is made in the one above it.
        const std::size_t slash = path.find_last_of('\\');
        if (slash == std::string::npos) return false;
        path = path.substr(0, slash);
        access = KEY_CREATE_SUB_KEY;
    }
}

}  // namespace

SystemFolders QuerySystemFolders() {
    SystemFolders folders;
    folders.localAppData = ShellFolder(CSIDL_LOCAL_APPDATA);
    if (folders.localAppData.empty()) folders.localAppData = RegisteredShellFolder("Local AppData");
    folders.userPrograms = ShellFolder(CSIDL_PROGRAMS);
    folders.commonPrograms = ShellFolder(CSIDL_COMMON_PROGRAMS);
    ptr::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", KEY_READ))
        key.ReadString("ProgramFilesDir", folders.programFiles, MAX_PATH);
    if (folders.programFiles.empty()) folders.programFiles = "C:\\Program Files";
    folders.programFiles = ptr::RemoveBackslash(folders.programFiles);
    return folders;
}

bool CanInstallForMachine(const std::string& target) {
    return ptr::CanCreateFilesIn(target) && CanWriteKey(ptr::kUninstallKey, KEY_CREATE_SUB_KEY | KEY_SET_VALUE) &&
           CanWriteKey(ptr::kRunKey, KEY_SET_VALUE);
}

std::string Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%04u%02u%02u", static_cast<unsigned>(now.wYear),
                  static_cast<unsigned>(now.wMonth), static_cast<unsigned>(now.wDay));
    return text;
}

std::string InstalledFolder(const InstallPlan& plan) {
    ptr::RegKey key;
    std::string folder;
    if (!key.Open(ptr::RootKey(plan.uninstallRoot), ptr::kUninstallKey, KEY_READ) ||
        !key.ReadString("InstallLocation", folder, MAX_PATH))
        return "";
    folder = ptr::RemoveBackslash(folder);
    return ptr::FileExists(InstalledPath(folder, ptr::kInstallLogFile)) ? folder : "";
}

std::string OtherScopeFolder(const InstallPlan& plan) {
    const std::uint32_t otherRoot = plan.suiteRoot == kCurrentUser ? kLocalMachine : kCurrentUser;
    ptr::RegKey key;
    std::string folder;
    if (!key.Open(ptr::RootKey(otherRoot), ptr::kSuiteKey, KEY_READ) ||
        !key.ReadString("InstallFolder", folder, MAX_PATH))
        return "";
    folder = ptr::RemoveBackslash(folder);
    return ptr::FileExists(InstalledPath(folder, ptr::kInstallLogFile)) ? folder : "";
}

bool InstalledVersion(const std::string& folder, ptr::FileVersion& version) {
    return ptr::ReadFileVersion(InstalledPath(folder, ptr::kLibraryFile), version);
}

TargetCheck CheckTarget(const std::string& target, inslog::TInsLog& earlier) {
    TargetCheck check;
    if (!ptr::FolderExists(target)) return check;
    std::vector<std::string> files;
    for (const ptr::FolderEntry& entry : ptr::FolderContents(target))
        if (!entry.folder) files.push_back(entry.relative);
    const std::string journalLeft = std::string(ptr::kInstallLogFile) + kJournalSuffix;
    auto isJournalLeft = [&journalLeft](const std::string& file) {
        return lstrcmpiA(file.c_str(), journalLeft.c_str()) == 0;
    };
    files.erase(std::remove_if(files.begin(), files.end(), isJournalLeft), files.end());
    if (files.empty()) {
        check.state = TargetState::Empty;
        return check;
    }
    const std::string log = InstalledPath(target, ptr::kInstallLogFile);
    if (ptr::FileExists(log)) {
        try {
            earlier.LoadFromFile(log);
            if (earlier.ProductName == ptr::kProductName) {
                check.state = TargetState::OwnInstallation;
                return check;
            }
        } catch (const inslog::EInsLogError&) {
            // Not a log of ours: the folder is someone else's.
        }
    }
    check.state = TargetState::Foreign;
    for (std::size_t i = 0; i < files.size() && i < kForeignFilesNamed; ++i) check.foreignFiles.push_back(files[i]);
    return check;
}

bool SameFolder(const std::string& a, const std::string& b) {
    return lstrcmpiA(ptr::RemoveBackslash(a).c_str(), ptr::RemoveBackslash(b).c_str()) == 0;
}

}  // namespace setup
