// Puts the files of an installation in place so that a failure can be taken
// back whole: a file that is already there (of the suite's earlier
// installation) is first renamed to a backup beside it, and the backups go
// only once everything is in place. Each change is announced before it is
// made, so that the installer's log always names what a killed run left.
#pragma once

#include "inslog_format.h"

#include <functional>
#include <string>
#include <vector>

namespace setup {

// What is about to be made: a folder, the backup a replaced file is renamed
// to, a file.
enum class Change { Folder, Backup, File };
using BeforeChange = std::function<void(const std::string& path, Change change)>;

class FilePlacement {
public:
    explicit FilePlacement(BeforeChange beforeChange = nullptr) : beforeChange_(std::move(beforeChange)) {}

    // Creates the folder and the missing folders above it, outermost first;
    // each one goes into `logFolders` before it is made. Raises the error
    // naming the folder.
    void CreateFolders(const std::string& folder, inslog::SortedStringList& logFolders);
    // Writes the bytes to `path`. Raises the error naming the file.
    void Place(const std::string& path, const std::string& bytes);
    // The same with a writer of its own (a shell link), which raises its own errors.
    void PlaceWith(const std::string& path, const std::function<void(const std::string& path)>& write);

    // Takes back every file and folder placed, last first: new files are
    // deleted, backups renamed back, folders made are removed.
    void Rollback() noexcept;
    // Deletes the backups. Those still in use (a library a program still holds)
    // are handed to `removeAtRestart` and returned, so that the log can list them.
    std::vector<std::string> Commit(const std::function<bool(const std::string&)>& removeAtRestart);

private:
    void MakeRoomFor(const std::string& path);
    void Announce(const std::string& path, Change change) const {
        if (beforeChange_) beforeChange_(path, change);
    }
    BeforeChange beforeChange_;
    struct Placed {
        std::string path;
        std::string backup;  // empty when nothing was there
        bool written = false;
    };
    std::vector<Placed> placed_;
    std::vector<std::string> createdFolders_;
};

// The name a replaced file is kept under until the installation is done.
std::string BackupName(const std::string& path, int attempt);

}  // namespace setup
