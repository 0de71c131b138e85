// The names by which the suite's programs find each other: the product, the
// tray agent's main window, the files of an installation and the registry
// keys. The uninstaller closes the running agent by the class and title that
// the installer writes into its log, so both come from here.
#pragma once

#include "suite_version.h"

namespace ptr {

constexpr char kProductName[] = PTR_PRODUCT_NAME;
constexpr char kProductVersion[] = PTR_VERSION_TEXT;
constexpr char kPublisher[] = PTR_PUBLISHER;

// The tray agent's main window: a hidden top-level window, found by class and title.
constexpr char kAgentWindowClass[] = "PtrHkTrayAgent";
constexpr char kAgentWindowTitle[] = "PTRHK32A Tray Agent";
// The 64-bit host's hidden window, by which Setup and the uninstaller close
// a host that outlived its agent; the host's one-at-a-time mutex.
constexpr char kHostWindowClass[] = "PtrHkAgent64";
constexpr char kHostWindowTitle[] = "PTRHK32A 64-bit Host";
constexpr char kHostMutex[] = "PtrHkAgent64Instance";

// The files of an installation, all in one folder.
constexpr char kLibraryFile[] = "PTRHK32A.dll";
constexpr char kAgentFile[] = "PtrAgent.exe";
// The 64-bit edition, on 64-bit Windows only: the x86_64 hook library and
// the small 64-bit host that the 32-bit tray agent starts to install its
// hooks for the 64-bit programs.
constexpr char kLibrary64File[] = "PTRHK64A.dll";
constexpr char kHostFile[] = "PtrAgent64.exe";
constexpr char kSettingsProgramFile[] = "Setting.exe";
constexpr char kUninstallerFile[] = "uninst.exe";
constexpr char kSettingsIniFile[] = "SETTING.INI";
constexpr char kTrayIconFile[] = "RES\\Tray.ico";
constexpr char kLogoFile[] = "Logo.bmp";
constexpr char kMouseBitmapFile[] = "MOUSE.BMP";
constexpr char kRegionDataFile[] = "Setting.KRD";
// Beside the uninstaller and named after it, which finds them by its own name:
// the installation log and the wizard's captions.
constexpr char kInstallLogFile[] = "uninst.log";
constexpr char kDialogTextFile[] = "uninst.UN2";

// HKEY_CURRENT_USER: the suite's key, and the tray agent's kept configuration below it.
constexpr char kSuiteKey[] = "Software\\PTRHK32A";
constexpr char kAgentConfigKey[] = "Software\\PTRHK32A\\Agent";
// One key per program with settings of its own, named after its file name.
constexpr char kProgramsConfigKey[] = "Software\\PTRHK32A\\Programs";

// The entry in the system's list of installed programs (below HKCU or HKLM),
// and the keys other programs share with the suite.
constexpr char kUninstallParentKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PTRHK32A";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "PtrAgent";
// The Start-menu folder of an installation, in the user's or every user's
// Programs folder.
constexpr char kStartMenuGroup[] = "PTRHK32A Mouse";

// Held by the installer for its whole run and by the uninstaller while it
// removes the suite: one installation or removal at a time in a session.
constexpr char kSetupMutex[] = "PTRHK32A Mouse Setup";

// The uninstaller's one argument for a removal without questions or windows
// (the entry's QuietUninstallString).
constexpr char kSilentFlag[] = "/S";

}  // namespace ptr
