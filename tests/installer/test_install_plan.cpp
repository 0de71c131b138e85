// Where an installation goes on each Windows, for each scope, and the values
// its entry in the list of installed programs gets.
#include "install_log.h"
#include "install_plan.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using setup::InstallPlan;
using setup::Scope;

constexpr std::uint32_t kHkcu = 0x80000001;
constexpr std::uint32_t kHklm = 0x80000002;

const setup::SystemFolders kFolders = {"C:\\Users\\Ann\\AppData\\Local", "C:\\Program Files",
                                       "C:\\Users\\Ann\\Start Menu\\Programs", "C:\\ProgramData\\Start Menu\\Programs"};

TEST(InstallPlan, EachScopeOnEachWindows) {
    const ptr::OsVersion win95 = {false, 4, 0};
    const ptr::OsVersion nt4 = {true, 4, 0};
    const ptr::OsVersion win2000 = {true, 5, 0};
    const ptr::OsVersion win10 = {true, 10, 0};
    const struct {
        const char* name;
        Scope scope;
        ptr::OsVersion os;
        const char* target;
        std::uint32_t suite, run, uninstall;
        const char* startMenu;
    } cases[] = {
        {"Windows 95, the user", Scope::CurrentUser, win95, "C:\\Program Files\\PTRHK32A", kHkcu, kHkcu, kHklm,
         kFolders.userPrograms.c_str()},
        {"NT 4, the user", Scope::CurrentUser, nt4, "C:\\Program Files\\PTRHK32A", kHkcu, kHkcu, kHklm,
         kFolders.userPrograms.c_str()},
        {"Windows 2000, the user", Scope::CurrentUser, win2000, "C:\\Users\\Ann\\AppData\\Local\\Programs\\PTRHK32A",
         kHkcu, kHkcu, kHkcu, kFolders.userPrograms.c_str()},
        {"Windows 10, the user", Scope::CurrentUser, win10, "C:\\Users\\Ann\\AppData\\Local\\Programs\\PTRHK32A",
         kHkcu, kHkcu, kHkcu, kFolders.userPrograms.c_str()},
        // 95 has one Start menu for everyone.
        {"Windows 95, all users", Scope::AllUsers, win95, "C:\\Program Files\\PTRHK32A", kHklm, kHklm, kHklm,
         kFolders.userPrograms.c_str()},
        {"Windows 10, all users", Scope::AllUsers, win10, "C:\\Program Files\\PTRHK32A", kHklm, kHklm, kHklm,
         kFolders.commonPrograms.c_str()},
    };
    for (const auto& c : cases) {
        const InstallPlan plan = setup::PlanInstall(c.scope, c.os, kFolders);
        EXPECT_EQ(plan.target, c.target) << c.name;
        EXPECT_EQ(plan.suiteRoot, c.suite) << c.name;
        EXPECT_EQ(plan.runRoot, c.run) << c.name;
        EXPECT_EQ(plan.uninstallRoot, c.uninstall) << c.name;
        EXPECT_EQ(plan.startMenuPrograms, c.startMenu) << c.name;
    }
    // Without a folder for the user's programs there is no default target.
    setup::SystemFolders none = kFolders;
    none.localAppData.clear();
    EXPECT_EQ(setup::PlanInstall(Scope::CurrentUser, win10, none).target, "");
}

// The 64-bit edition's two files go onto 64-bit Windows only; everything
// else everywhere.
TEST(InstallPlan, The64BitEditionOnlyOn64BitWindows) {
    const struct {
        const char* name;
        ptr::OsVersion os;
        Scope scope;
        std::vector<std::string> left;  // files of the table not placed
    } cases[] = {
        {"Windows 10, 64-bit", {true, 10, 0, true}, Scope::CurrentUser, {}},
        {"Windows 10, 64-bit, all users", {true, 10, 0, true}, Scope::AllUsers, {}},
        {"Windows 10, 32-bit", {true, 10, 0, false}, Scope::CurrentUser, {"PTRHK64A.dll", "PtrAgent64.exe"}},
        {"Windows 98", {false, 4, 10, false}, Scope::CurrentUser, {"PTRHK64A.dll", "PtrAgent64.exe"}},
    };
    for (const auto& c : cases) {
        const InstallPlan plan = setup::PlanInstall(c.scope, c.os, kFolders);
        std::vector<std::string> left;
        for (const setup::InstalledFile& file : setup::kInstalledFiles)
            if (!plan.Places(file)) left.push_back(file.path);
        EXPECT_EQ(left, c.left) << c.name;
    }
}

TEST(InstallPlan, EveryValueGoesUnderItsScopesRootAndTheUsersKeyIsTheSuitesOwnForAllUsers) {
    const InstallPlan user = setup::PlanInstall(Scope::CurrentUser, {true, 5, 1}, kFolders);
    const InstallPlan machine = setup::PlanInstall(Scope::AllUsers, {true, 5, 1}, kFolders);
    for (const setup::PlannedValue& value : setup::PlannedValues(user)) EXPECT_EQ(value.root, kHkcu);
    std::map<std::string, std::uint32_t> roots;
    for (const setup::PlannedValue& value : setup::PlannedValues(machine)) roots[value.entry->valueName] = value.root;
    EXPECT_EQ(roots["InstallFolder"], kHklm);
    EXPECT_EQ(roots["PtrAgent"], kHklm);
    EXPECT_EQ(roots["QuietUninstallString"], kHklm);
    EXPECT_EQ(setup::OwnKeys(user).size(), 1u);
    ASSERT_EQ(setup::OwnKeys(machine).size(), 2u);
    EXPECT_EQ(setup::OwnKeys(machine)[1].root, kHkcu);
    // The Run key is shared whole; every other value lies in a key of the suite's own.
    for (const setup::RegistryEntry& entry : setup::kRegistryEntries) {
        const std::string own = entry.ownKey;
        EXPECT_EQ(own.empty(), entry.place == setup::KeyPlace::Run) << entry.valueName;
        if (!own.empty()) {
            EXPECT_EQ(std::string(entry.key).rfind(own, 0), 0u) << entry.valueName;
        }
    }
}

TEST(InstallPlan, TheEntryOfTheListOfInstalledPrograms) {
    setup::InstallFacts facts;
    facts.target = "C:\\Program Files\\PTRHK32A";
    facts.date = "20240229";
    facts.sizeKb = 1234;
    std::map<std::string, inslog::RegValue> values;
    for (const setup::RegistryEntry& entry : setup::kRegistryEntries)
        values[entry.valueName] = setup::RegistryValueOf(entry, facts);
    EXPECT_EQ(values["DisplayVersion"].text, "3.0.0");
    EXPECT_EQ(values["Publisher"].text, "PTRHK32A Project");
    EXPECT_EQ(values["QuietUninstallString"].text, "\"C:\\Program Files\\PTRHK32A\\uninst.exe\" /S");
    EXPECT_EQ(values["InstallDate"].text, "20240229");
    EXPECT_EQ(values["EstimatedSize"].number, 1234);
    EXPECT_EQ(values["NoModify"].number, 1);
    // The wizard's captions as a profile file, the failure lines among them.
    const std::string texts = setup::DialogTextFile();
    EXPECT_EQ(texts.rfind("[DLG]\r\n", 0), 0u);
    EXPECT_NE(texts.find("\r\nP3=The program files are deleted.\r\n"), std::string::npos);
    EXPECT_NE(texts.find("\r\nP3F=Some program files could not be deleted.\r\n"), std::string::npos);
}

}  // namespace
