#include "log_bounds.h"

#include "late_bound.h"
#include "paths.h"
#include "suite_names.h"

#include <windows.h>
#include <shlobj.h>

namespace uninst {

namespace {

constexpr std::uint32_t kCurrentUser = 0x80000001;
constexpr std::uint32_t kLocalMachine = 0x80000002;

using GetLongPathNameFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);

bool Same(const std::string& a, const std::string& b) { return ptr::CompareLocaleNoCase(a, b) == 0; }

// `path` is `parent` or lies below it (keys and folders alike).
bool AtOrBelow(const std::string& path, const std::string& parent) {
    if (parent.empty() || path.size() < parent.size() || !Same(path.substr(0, parent.size()), parent)) return false;
    return path.size() == parent.size() || path[parent.size()] == '\\' || parent.back() == '\\';
}

bool Below(const std::string& path, const std::string& parent) {
    return AtOrBelow(path, parent) && !Same(ptr::RemoveBackslash(path), ptr::RemoveBackslash(parent));
}

// GetLongPathName (98, 2000) knows only what exists: the part of the path
// that does is made long, the rest kept as written.
std::string LongPath(const std::string& path) {
    const auto longName = ptr::LateBound<GetLongPathNameFn>(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA");
    if (!longName) return path;
    std::string head = path;
    std::string tail;
    for (;;) {
        char buffer[MAX_PATH] = "";
        const DWORD length = longName(head.c_str(), buffer, MAX_PATH);
        if (length > 0 && length < MAX_PATH) return std::string(buffer, length) + tail;
        const std::size_t slash = ptr::RemoveBackslash(head).find_last_of('\\');
        if (slash == std::string::npos) return path;
        tail = head.substr(slash) + tail;
        head = head.substr(0, slash);
        if (head.size() <= 2) return path;
    }
}

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list) return "";
    const bool found = SHGetPathFromIDListA(list, path) != FALSE;
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(list);
        allocator->Release();
    }
    return found ? std::string(path) : "";
}

bool IsSuiteKey(const std::string& key) {
    return AtOrBelow(key, ptr::kSuiteKey) || AtOrBelow(key, ptr::kUninstallKey);
}

}  // namespace

std::string CanonicalPath(const std::string& path) {
    char full[MAX_PATH] = "";
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return "";
    return ptr::RemoveBackslash(LongPath(full));
}

SuiteBounds SystemSuiteBounds(const std::string& installedExecutable) {
    SuiteBounds bounds;
    bounds.installFolder = installedExecutable.substr(0, installedExecutable.find_last_of('\\'));
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        const std::string programs = ShellFolder(csidl);
        if (!programs.empty()) bounds.startMenuFolders.push_back(ptr::AddBackslash(programs) + ptr::kStartMenuGroup);
    }
    return bounds;
}

bool RecordWithinBounds(const inslog::TUninsRegObject& record) {
    if (record.RootKey != kCurrentUser && record.RootKey != kLocalMachine) return false;
    const std::string key = inslog::RelativeKeyPath(inslog::KeyNameOf(record));
    if (key.empty()) return false;
    switch (record.Kind) {
    case inslog::rkKeyCreated: return IsSuiteKey(key);
    case inslog::rkSharedKeyCreated:
        return AtOrBelow(ptr::kRunKey, key) || AtOrBelow(ptr::kUninstallKey, key) || AtOrBelow(ptr::kSuiteKey, key);
    case inslog::rkValueCreated:
    case inslog::rkString:
    case inslog::rkExpandString:
    case inslog::rkInteger:
    case inslog::rkBinary:
        return IsSuiteKey(key) || (Same(key, ptr::kRunKey) && Same(inslog::ValueNameOf(record), ptr::kRunValue));
    default: return true;  // a kind no removal acts on
    }
}

std::vector<std::string> KeepWithinBounds(inslog::TInsLog& log, const SuiteBounds& bounds) {
    std::vector<std::string> refused;
    const std::string install = CanonicalPath(bounds.installFolder);
    std::vector<std::string> menus;
    for (const std::string& folder : bounds.startMenuFolders) menus.push_back(CanonicalPath(folder));

    auto inside = [&](const std::string& path) {
        if (Below(path, install)) return true;
        for (const std::string& menu : menus)
            if (Below(path, menu)) return true;
        return false;
    };
    inslog::SortedStringList files(ptr::CompareLocaleNoCase);
    for (const std::string& file : log.Files.Items()) {
        const std::string path = CanonicalPath(file);
        if (!install.empty() && inside(path)) {
            files.Add(file);
        } else {
            refused.push_back(file);
        }
    }
    inslog::SortedStringList folders(ptr::CompareLocaleNoCase);
    for (const std::string& folder : log.Folders.Items()) {
        const std::string path = CanonicalPath(folder);
        bool kept = !install.empty() && !path.empty() &&
                    (AtOrBelow(path, install) || Below(install, path) || inside(path));
        for (const std::string& menu : menus) kept = kept || (!path.empty() && Same(path, menu));
        if (kept) {
            folders.Add(folder);
        } else {
            refused.push_back(folder);
        }
    }
    log.Files = files;
    log.Folders = folders;
    std::vector<inslog::TUninsRegObject> records;
    for (const inslog::TUninsRegObject& record : log.RegObjects) {
        if (RecordWithinBounds(record)) {
            records.push_back(record);
        } else {
            refused.push_back(inslog::DescribeRecord(record));
        }
    }
    log.RegObjects = records;
    return refused;
}

}  // namespace uninst
