// PtrSetup.exe: installs the suite into a folder and leaves the uninstaller
// what it needs to take it off again: the installation log (uninst.log) and
// the wizard's captions (uninst.UN2) beside uninst.exe. Every registry change
// is recorded in the log before it is made.
//
//   PtrSetup.exe [/S] [/D=folder]
//
// Exit codes: 0 installed, 1 cancelled by the user, 2 failed.
#include "ainslog.h"
#include "file_checks.h"
#include "install_log.h"
#include "install_table.h"
#include "module_path.h"
#include "paths.h"
#include "reg_key.h"
#include "setup_options.h"

#include <windows.h>

#include <string>
#include <vector>

namespace setup {

namespace {

constexpr int kExitInstalled = 0;
constexpr int kExitCancelled = 1;
constexpr int kExitFailed = 2;
constexpr char kCaption[] = "PTRHK32A Mouse Setup";

using uninst::EUninstError;
using uninst::TInsLog;

std::string ArgumentsOf(const char* commandLine) {
    const std::string line = commandLine;
    std::size_t at = 0;
    if (!line.empty() && line[0] == '"') {
        at = line.find('"', 1);
        at = at == std::string::npos ? line.size() : at + 1;
    } else {
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
    }
    return line.substr(at);
}

// The system's program folder, as every Windows version names it in the registry.
std::string DefaultFolder() {
    std::string programs = "C:\\Program Files";
    ptr::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", KEY_READ))
        key.ReadString("ProgramFilesDir", programs, MAX_PATH);
    return ptr::AddBackslash(programs) + kDefaultFolderName;
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = "";
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) throw EUninstError("Invalid folder " + path);
    return ptr::RemoveBackslash(full);
}

// Creates the folder and the missing folders above it, outermost first; each
// one created goes into the log.
void CreateFolders(const std::string& folder, TInsLog& log) {
    std::vector<std::string> missing;
    for (std::string path = ptr::RemoveBackslash(folder); !ptr::FolderExists(path);) {
        missing.push_back(path);
        const std::size_t slash = path.find_last_of('\\');
        if (slash == std::string::npos || slash < 3) break;  // a drive root is never created
        path = path.substr(0, slash);
    }
    for (auto path = missing.rbegin(); path != missing.rend(); ++path) {
        if (!CreateDirectoryA(path->c_str(), nullptr) && !ptr::FolderExists(*path)) {
            throw EUninstError("Cannot create folder " + *path);
        }
        log.Folders.Add(*path);
    }
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

void CheckSources(const std::string& source) {
    std::string missing;
    for (const InstalledFile& file : kInstalledFiles) {
        if (!ptr::FileExists(source + file.path)) {
            missing += std::string("\n") + file.path;
        }
    }
    if (!missing.empty()) throw EUninstError("These files are missing beside the installer:" + missing);
}

void CopyFiles(const std::string& source, const std::string& target, TInsLog& log) {
    for (const InstalledFile& file : kInstalledFiles) {
        const std::string destination = target + "\\" + file.path;
        CreateFolders(FolderOf(destination), log);
        if (!CopyFileA((source + file.path).c_str(), destination.c_str(), FALSE)) {
            throw EUninstError("Cannot copy " + std::string(file.path) + " to " + destination);
        }
        if (file.listedInLog) log.Files.Add(destination);
    }
}

void WriteDialogTexts(const std::string& path, TInsLog& log) {
    log.Files.Add(path);
    for (const Caption& caption : kCaptions) {
        if (!WritePrivateProfileStringA("DLG", caption.control, caption.text, path.c_str())) {
            throw EUninstError("Cannot write " + path);
        }
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // flush the profile cache
}

void SetRegistryEntries(const std::string& target, TInsLog& log) {
    for (const RegistryEntry& entry : kRegistryEntries) {
        uninst::RegValue value;
        value.text = RegistryValueText(entry, target);
        value.number = entry.number;
        log.RecordMissingKeys(entry.root, entry.key);
        log.ApplyRegChange(entry.root, entry.key, entry.kind, entry.valueName, value, true);
    }
}

// Installs; the log is written whatever happened after the first change, so
// the uninstaller can take off a partial installation too.
void Install(const std::string& source, const std::string& target) {
    CheckSources(source);
    const std::string logPath = target + "\\" + ptr::kInstallLogFile;
    if (ptr::FileExists(logPath)) {
        throw EUninstError("The suite is already installed in " + target + ". Remove it first.");
    }
    TInsLog log = NewInstallLog();
    try {
        CreateFolders(target, log);
        CopyFiles(source, target, log);
        WriteDialogTexts(target + "\\" + ptr::kDialogTextFile, log);
        SetRegistryEntries(target, log);
    } catch (const EUninstError&) {
        if (ptr::FolderExists(target)) log.SaveToFile(logPath);
        throw;
    }
    log.SaveToFile(logPath);
}

void Say(const Options& options, const std::string& text, UINT icon) {
    if (!options.silent) MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | icon);
}

int Main() {
    Options options;
    if (!ParseOptions(ArgumentsOf(GetCommandLineA()), options)) {
        MessageBoxA(nullptr, "Usage: PtrSetup.exe [/S] [/D=folder]", kCaption, MB_OK | MB_ICONINFORMATION);
        return kExitFailed;
    }
    try {
        const std::string target = FullPath(options.folder.empty() ? DefaultFolder() : options.folder);
        if (!options.silent) {
            const std::string question = std::string("Install ") + ptr::kProductName + " into\n" + target + "?";
            if (MessageBoxA(nullptr, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
                return kExitCancelled;
            }
        }
        Install(ptr::ProgramFolder(), target);
        Say(options, std::string(ptr::kProductName) + " is installed in " + target + ".", MB_ICONINFORMATION);
        return kExitInstalled;
    } catch (const EUninstError& error) {
        Say(options, error.what(), MB_ICONERROR);
        return kExitFailed;
    }
}

}  // namespace

}  // namespace setup

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return setup::Main(); }
