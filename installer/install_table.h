// What PtrSetup.exe installs and writes: one table of files, the registry
// entries and the wizard's English captions. Extend the tables here.
#pragma once

#include "inslog_format.h"
#include "suite_names.h"

#include <cstdint>

namespace setup {

constexpr char kDefaultFolderName[] = "PTRHK32A";
constexpr char kWizardFont[] = "Tahoma";

// A file the installer carries inside itself (compressed, as a resource of
// PtrSetup.exe, in this order) and writes to the same relative path in the
// target folder. The uninstaller deletes its own executable itself, so that
// one is not listed in the log's files. The 64-bit edition's files go only
// onto 64-bit Windows.
struct InstalledFile {
    const char* path;
    bool listedInLog;
    bool only64BitWindows = false;
};

constexpr InstalledFile kInstalledFiles[] = {
    {ptr::kLibraryFile, true},      {ptr::kAgentFile, true},       {ptr::kLibrary64File, true, true},
    {ptr::kHostFile, true, true},   {ptr::kSettingsProgramFile, true}, {ptr::kUninstallerFile, false},
    {ptr::kRegionDataFile, true},   {ptr::kMouseBitmapFile, true}, {ptr::kSettingsIniFile, true},
    {ptr::kLogoFile, true},         {ptr::kTrayIconFile, true},
};

constexpr std::uint32_t kCurrentUser = 0x80000001;
constexpr std::uint32_t kLocalMachine = 0x80000002;

// Where a registry value's text comes from.
enum class ValueSource {
    Text,                    // `text`
    Number,                  // `number`
    InstallFolder,           // the target folder
    QuotedFile,              // the file `text` in the target folder, quoted
    QuotedFileWithArgument,  // the same, then a space and `argument`
    InstallDate,             // the day of the installation, YYYYMMDD
    InstalledSize,           // the installed files' size in kilobytes
};

// Which of the scope's keys a value goes into: the suite's own key, the
// programs started at log-on, or the suite's entry in the list of installed
// programs. The root below is that of an installation for the current user
// on Windows 2000 and later; the installation plan gives each scope's roots.
enum class KeyPlace { Suite, Run, Uninstall };

struct RegistryEntry {
    std::uint32_t root;
    const char* key;
    const char* valueName;
    std::uint8_t kind;  // 2 text, 4 number
    ValueSource source;
    const char* text;  // the text, or the file name in the install folder
    std::int32_t number;
    KeyPlace place;
    // The deepest key of the path that is the suite's own, recorded as
    // created when it is missing; the keys above it (and all of the Run key)
    // other programs share, and those are never recorded as created.
    const char* ownKey;
    const char* argument;
};


constexpr RegistryEntry kRegistryEntries[] = {
    // Where the suite lives; the tray agent keeps its settings below this key.
    {kCurrentUser, ptr::kSuiteKey, "InstallFolder", inslog::rkString, ValueSource::InstallFolder, "", 0,
     KeyPlace::Suite, ptr::kSuiteKey, ""},
    // The tray agent starts at log-on.
    {kCurrentUser, ptr::kRunKey, ptr::kRunValue, inslog::rkString, ValueSource::QuotedFile, ptr::kAgentFile, 0,
     KeyPlace::Run, "", ""},
    // The entry in the system's list of installed programs.
    {kCurrentUser, ptr::kUninstallKey, "DisplayName", inslog::rkString, ValueSource::Text, ptr::kProductName, 0,
     KeyPlace::Uninstall, ptr::kUninstallKey, ""},
    {kCurrentUser, ptr::kUninstallKey, "DisplayVersion", inslog::rkString, ValueSource::Text, ptr::kProductVersion, 0,
     KeyPlace::Uninstall, ptr::kUninstallKey, ""},
    {kCurrentUser, ptr::kUninstallKey, "Publisher", inslog::rkString, ValueSource::Text, ptr::kPublisher, 0,
     KeyPlace::Uninstall, ptr::kUninstallKey, ""},
    {kCurrentUser, ptr::kUninstallKey, "UninstallString", inslog::rkString, ValueSource::QuotedFile,
     ptr::kUninstallerFile, 0, KeyPlace::Uninstall, ptr::kUninstallKey, ""},
    {kCurrentUser, ptr::kUninstallKey, "QuietUninstallString", inslog::rkString, ValueSource::QuotedFileWithArgument,
     ptr::kUninstallerFile, 0, KeyPlace::Uninstall, ptr::kUninstallKey, ptr::kSilentFlag},
    {kCurrentUser, ptr::kUninstallKey, "InstallLocation", inslog::rkString, ValueSource::InstallFolder, "", 0,
     KeyPlace::Uninstall, ptr::kUninstallKey, ""},
    {kCurrentUser, ptr::kUninstallKey, "DisplayIcon", inslog::rkString, ValueSource::QuotedFile, ptr::kAgentFile, 0,
     KeyPlace::Uninstall, ptr::kUninstallKey, ""},
    {kCurrentUser, ptr::kUninstallKey, "EstimatedSize", inslog::rkInteger, ValueSource::InstalledSize, "", 0,
     KeyPlace::Uninstall, ptr::kUninstallKey, ""},
    {kCurrentUser, ptr::kUninstallKey, "InstallDate", inslog::rkString, ValueSource::InstallDate, "", 0,
     KeyPlace::Uninstall, ptr::kUninstallKey, ""},
    {kCurrentUser, ptr::kUninstallKey, "NoModify", inslog::rkInteger, ValueSource::Number, "", 1, KeyPlace::Uninstall,
     ptr::kUninstallKey, ""},
    {kCurrentUser, ptr::kUninstallKey, "NoRepair", inslog::rkInteger, ValueSource::Number, "", 1, KeyPlace::Uninstall,
     ptr::kUninstallKey, ""},
};

// The Start-menu folder and its shortcuts, made through the shell.

struct ShellLinkEntry {
    const char* name;
    const char* target;  // a file in the install folder
    const char* description;
};

constexpr ShellLinkEntry kShellLinks[] = {
    {"PTRHK32A Mouse.lnk", ptr::kAgentFile, "Starts the mouse suite in the notification area"},
    {"PTRHK32A Mouse Settings.lnk", ptr::kSettingsProgramFile, "Changes how the wheel and the buttons work"},
    {"Uninstall PTRHK32A Mouse.lnk", ptr::kUninstallerFile, "Removes PTRHK32A Mouse from this computer"},
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
    // What a progress line says instead when its step did not do all it says,
    // and the headings of what is left on the finish page.
    {"P2F", "The tray agent did not close."},
    {"P3F", "Some program files could not be deleted."},
    {"P4F", "Some program folders could not be removed."},
    {"P6F", "Some registry entries could not be restored."},
    {"P24", "These are removed when Windows restarts:"},
    {"P25", "These could not be removed:"},
    {"P26", "These are not PTRHK32A Mouse's, and were left alone:"},
};

}  // namespace setup
