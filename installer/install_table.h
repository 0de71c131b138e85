// What PtrSetup.exe installs and writes: one table of files, the registry
// entries and the wizard's English captions. Extend the tables here.
#pragma once

#include "inslog_format.h"
#include "suite_names.h"

#include <cstdint>

namespace setup {

constexpr char kDefaultFolderName[] = "PTRHK32A";
constexpr char kWizardFont[] = "Tahoma";

// A file copied from the installer's folder to the same relative path in the
// target folder. The uninstaller deletes its own executable itself, so that
// one is not listed in the log's files.
struct InstalledFile {
    const char* path;
    bool listedInLog;
};

constexpr InstalledFile kInstalledFiles[] = {
    {ptr::kLibraryFile, true},      {ptr::kAgentFile, true},       {ptr::kSettingsProgramFile, true},
    {ptr::kUninstallerFile, false}, {ptr::kRegionDataFile, true},  {ptr::kMouseBitmapFile, true},
    {ptr::kSettingsIniFile, true},  {ptr::kLogoFile, true},        {ptr::kTrayIconFile, true},
};

constexpr std::uint32_t kCurrentUser = 0x80000001;
constexpr std::uint32_t kLocalMachine = 0x80000002;

// Where a registry value's text comes from.
enum class ValueSource { Text, InstallFolder, QuotedFile };

struct RegistryEntry {
    std::uint32_t root;
    const char* key;
    const char* valueName;
    std::uint8_t kind;  // 2 text, 4 number
    ValueSource source;
    const char* text;  // the text, or the file name in the install folder
    std::int32_t number;
};

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PTRHK32A";

constexpr RegistryEntry kRegistryEntries[] = {
    // Where the suite lives; the tray agent keeps its settings below this key.
    {kCurrentUser, ptr::kSuiteKey, "InstallFolder", inslog::rkString, ValueSource::InstallFolder, "", 0},
    // The tray agent starts at log-on.
    {kCurrentUser, kRunKey, "PtrAgent", inslog::rkString, ValueSource::QuotedFile, ptr::kAgentFile, 0},
    // The entry in the system's list of installed programs.
    {kLocalMachine, kUninstallKey, "DisplayName", inslog::rkString, ValueSource::Text, ptr::kProductName, 0},
    {kLocalMachine, kUninstallKey, "UninstallString", inslog::rkString, ValueSource::QuotedFile,
     ptr::kUninstallerFile, 0},
    {kLocalMachine, kUninstallKey, "InstallLocation", inslog::rkString, ValueSource::InstallFolder, "", 0},
    {kLocalMachine, kUninstallKey, "DisplayIcon", inslog::rkString, ValueSource::QuotedFile, ptr::kAgentFile, 0},
    {kLocalMachine, kUninstallKey, "NoModify", inslog::rkInteger, ValueSource::Text, "", 1},
    {kLocalMachine, kUninstallKey, "NoRepair", inslog::rkInteger, ValueSource::Text, "", 1},
};

// The wizard's captions, section "DLG" of the dialog text file.
struct Caption {
    const char* control;
    const char* text;
};

constexpr Caption kCaptions[] = {
    {"NEXTBTN", "&Next >"},
    {"ABORTBTN", "Cancel"},
    {"FINISHBTN", "&Finish"},
    {"P1T", "Uninstall"},
    {"P1", "This removes the following program from your computer:"},
    {"PrjLabel", ptr::kProductName},
    {"P2", "The tray agent is closed and the registry restored."},
    {"P3", "The program files are deleted."},
    {"P4", "The program folders are removed."},
    {"P5", "Checking the registry once more..."},
    {"P6", "The registry is as it was before the installation."},
    {"P2T", "Uninstall complete"},
    {"P21", "PTRHK32A Mouse has been removed from your computer."},
    {"P22", "Restart now"},
    {"P23", "Restart later"},
};

}  // namespace setup
