#include "install_journal.h"

#include "file_checks.h"
#include "install_log.h"
#include "setup_error.h"
#include "win32_error.h"

#include <windows.h>

namespace setup {

namespace {

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    const DWORD size = GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE && size <= inslog::kMaxLogSize) {
        bytes.resize(size);
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size) bytes.clear();
    }
    CloseHandle(file);
    return bytes;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

}  // namespace

void ReplaceFileWhole(const std::string& path, const std::vector<unsigned char>& bytes) {
    const std::string written = path + kJournalSuffix;
    HANDLE file =
        CreateFileA(written.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw ESetupError("Cannot write " + written + " (" + ptr::Win32ErrorText(GetLastError()) + ").");
    }
    DWORD done = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                    done == bytes.size();
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) {
        DeleteFileA(written.c_str());
        throw ESetupError("Cannot write " + written + " (" + ptr::Win32ErrorText(error) + ").");
    }
    if (MoveFileExA(written.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
    // 95, 98 and Me rename nothing over an existing file.
    if (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
        DeleteFileA(path.c_str());
        if (MoveFileA(written.c_str(), path.c_str())) return;
    }
    throw ESetupError("Cannot write " + path + " (" + ptr::Win32ErrorText(GetLastError()) + ").");
}

InstallJournal::InstallJournal(const std::string& logPath, const inslog::TInsLog* earlier)
    : path_(logPath),
      earlier_(earlier),
      earlierBytes_(earlier ? ReadWholeFile(logPath) : std::vector<unsigned char>()),
      fresh_(NewInstallLog()),
      registry_(fresh_, [this](const std::string& value) { Save("registry " + value); }) {}

BeforeChange InstallJournal::FileChanges() {
    return [this](const std::string& path, Change change) {
        if (change == Change::Backup) pending_.push_back(path);
        static const char* const kWhat[] = {"folder ", "backup ", "file "};
        Save(kWhat[static_cast<int>(change)] + path);
    };
}

inslog::TInsLog InstallJournal::Current() const {
    inslog::TInsLog log = AssembleLog(earlier_, fresh_, registry_.SharedKeys());
    for (const std::string& backup : pending_) log.Files.Add(backup);
    // A run killed while it wrote the log leaves this beside it.
    log.Files.Add(path_ + kJournalSuffix);
    return log;
}

void InstallJournal::Save(const std::string& next) {
    if (ptr::FolderExists(FolderOf(path_))) ReplaceFileWhole(path_, Current().SaveToBytes());
    OutputDebugStringA(("PtrSetup: " + next + "\n").c_str());
}

void InstallJournal::Finish(const std::vector<std::string>& backupsLeft) {
    pending_.clear();
    for (const std::string& backup : backupsLeft) fresh_.Files.Add(backup);
    Save("done");
}

void InstallJournal::Abandon() noexcept {
    try {
        if (!earlierBytes_.empty()) {
            ReplaceFileWhole(path_, earlierBytes_);
        } else {
            DeleteFileA(path_.c_str());
        }
    } catch (const ESetupError&) {
        // What cannot be put back stays; the failure that led here is reported.
    }
    DeleteFileA((path_ + kJournalSuffix).c_str());
}

}  // namespace setup
