#include "file_placement.h"

#include "file_checks.h"
#include "paths.h"
#include "setup_error.h"
#include "win32_error.h"

#include <windows.h>

namespace setup {

namespace {

constexpr int kBackupNames = 10;

std::string LastErrorText() { return ptr::Win32ErrorText(GetLastError()); }

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw ESetupError("Cannot write " + path + " (" + LastErrorText() + ").");
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        DWORD written = 0;
        ok = WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) &&
             written > 0;
        done += written;
    }
    const std::string error = ok ? "" : LastErrorText();
    if (!CloseHandle(file) && ok) ok = false;
    if (!ok) {
        DeleteFileA(path.c_str());
        throw ESetupError("Cannot write " + path + " (" + (error.empty() ? LastErrorText() : error) + ").");
    }
}

}  // namespace

std::string BackupName(const std::string& path, int attempt) {
    return path + (attempt == 0 ? ".ptrold" : ".ptrold" + std::to_string(attempt));
}

void FilePlacement::CreateFolders(const std::string& folder, inslog::SortedStringList& logFolders) {
    std::vector<std::string> missing;
    for (std::string path = ptr::RemoveBackslash(folder); !ptr::FolderExists(path);) {
        missing.push_back(path);
        const std::size_t slash = path.find_last_of('\\');
        if (slash == std::string::npos || slash < 3) break;  // a drive root is never created
        path = path.substr(0, slash);
    }
    for (auto path = missing.rbegin(); path != missing.rend(); ++path) {
        logFolders.Add(*path);
        Announce(*path, Change::Folder);
        if (!CreateDirectoryA(path->c_str(), nullptr)) {
            throw ESetupError("Cannot create the folder " + *path + " (" + LastErrorText() + ").");
        }
        createdFolders_.push_back(*path);
    }
}

// A file already there is renamed to a free backup name; a program may hold
// it open (the renaming then fails) or only run or load it (the renaming
// works on NT, and the backup goes later).
void FilePlacement::MakeRoomFor(const std::string& path) {
    Placed placed{path, "", false};
    if (ptr::FileExists(path)) {
        for (int attempt = 0; attempt < kBackupNames && placed.backup.empty(); ++attempt) {
            const std::string backup = BackupName(path, attempt);
            if (ptr::FileExists(backup) && !DeleteFileA(backup.c_str())) continue;
            Announce(backup, Change::Backup);
            if (!MoveFileA(path.c_str(), backup.c_str())) {
                throw ESetupError("Cannot replace " + path + " (" + LastErrorText() +
                                           "). Close the program that uses it and run Setup again.");
            }
            placed.backup = backup;
        }
        if (placed.backup.empty()) throw ESetupError("Cannot replace " + path + ".");
    }
    placed_.push_back(placed);
}

void FilePlacement::Place(const std::string& path, const std::string& bytes) {
    PlaceWith(path, [&bytes](const std::string& destination) { WriteWholeFile(destination, bytes); });
}

void FilePlacement::PlaceWith(const std::string& path, const std::function<void(const std::string&)>& write) {
    MakeRoomFor(path);
    Announce(path, Change::File);
    write(path);
    placed_.back().written = true;
}

void FilePlacement::Rollback() noexcept {
    for (auto placed = placed_.rbegin(); placed != placed_.rend(); ++placed) {
        // A writer that failed may have left part of its file.
        DeleteFileA(placed->path.c_str());
        if (!placed->backup.empty()) MoveFileA(placed->backup.c_str(), placed->path.c_str());
    }
    placed_.clear();
    for (auto folder = createdFolders_.rbegin(); folder != createdFolders_.rend(); ++folder) {
        RemoveDirectoryA(folder->c_str());
    }
    createdFolders_.clear();
}

std::vector<std::string> FilePlacement::Commit(const std::function<bool(const std::string&)>& removeAtRestart) {
    std::vector<std::string> left;
    for (const Placed& placed : placed_) {
        if (placed.backup.empty() || DeleteFileA(placed.backup.c_str())) continue;
        removeAtRestart(placed.backup);
        left.push_back(placed.backup);
    }
    placed_.clear();
    createdFolders_.clear();
    return left;
}

}  // namespace setup
