// The installation log kept current while an installation runs: written
// before each change, as the journal of what has been done, so that a run
// killed half-way (a power cut, a crash, a kill) leaves a folder its
// uninstaller removes and the next installation takes as the suite's own.
// Only the installation folder and the folders above it are made before the
// journal can be written into them; an installation that finds them empty
// takes them too.
#pragma once

#include "file_placement.h"
#include "inslog.h"
#include "registry_recording.h"

#include <string>
#include <vector>

namespace setup {

// The log is written whole under this name beside it, then renamed over it,
// so that it is never found half-written.
constexpr char kJournalSuffix[] = ".new";

class InstallJournal {
public:
    // `earlier` is the log of the installation an update replaces (null for
    // a first installation); the journal keeps its bytes to put back if the
    // run fails.
    InstallJournal(const std::string& logPath, const inslog::TInsLog* earlier);
    InstallJournal(const InstallJournal&) = delete;
    InstallJournal& operator=(const InstallJournal&) = delete;

    // What this run does: its files, folders and registry records.
    inslog::TInsLog& Log() { return fresh_; }
    RegistryRecorder& Registry() { return registry_; }
    // For the file placement: a backup name is listed until the run ends,
    // and the log is saved before every change.
    BeforeChange FileChanges();

    // Writes the log as it stands, once its folder is there, and tells a
    // debugger what comes next (OutputDebugString "PtrSetup: <what>", one
    // line a change: a tool that follows an installation, or stops it at a
    // chosen point, reads them there). Raises the error naming the log.
    void Save(const std::string& next);
    // The run is done: the backups still there (in use, to go at the next
    // restart) stay listed, and the log is written a last time.
    void Finish(const std::vector<std::string>& backupsLeft);
    // The run failed and was taken back: the earlier log as it was, or none.
    void Abandon() noexcept;

    // The log as it stands.
    inslog::TInsLog Current() const;

private:
    std::string path_;
    const inslog::TInsLog* earlier_;
    std::vector<unsigned char> earlierBytes_;
    inslog::TInsLog fresh_;
    RegistryRecorder registry_;
    std::vector<std::string> pending_;
};

// Writes `bytes` to a file beside `path`, then renames it over `path`.
// Raises the error naming the file.
void ReplaceFileWhole(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace setup
