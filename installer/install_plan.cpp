#include "install_plan.h"

#include "paths.h"

namespace setup {

std::uint32_t InstallPlan::RootOf(KeyPlace place) const {
    switch (place) {
    case KeyPlace::Suite: return suiteRoot;
    case KeyPlace::Run: return runRoot;
    default: return uninstallRoot;
    }
}

InstallPlan PlanInstall(Scope scope, const ptr::OsVersion& os, const SystemFolders& folders) {
    InstallPlan plan;
    plan.scope = scope;
    plan.windows64 = os.windows64;
    const std::string programFolder =
        folders.programFiles.empty() ? "" : ptr::AddBackslash(folders.programFiles) + kDefaultFolderName;
    if (scope == Scope::AllUsers) {
        plan.target = programFolder;
        plan.suiteRoot = plan.runRoot = plan.uninstallRoot = kLocalMachine;
        // 95, 98 and Me have one Start menu for everyone.
        plan.startMenuPrograms = os.nt && !folders.commonPrograms.empty() ? folders.commonPrograms
                                                                          : folders.userPrograms;
        return plan;
    }
    plan.suiteRoot = plan.runRoot = kCurrentUser;
    plan.startMenuPrograms = folders.userPrograms;
    if (ptr::HasPerUserPrograms(os)) {
        plan.target = folders.localAppData.empty()
                          ? ""
                          : ptr::AddBackslash(folders.localAppData) + "Programs\\" + kDefaultFolderName;
        plan.uninstallRoot = kCurrentUser;
    } else {
        plan.target = programFolder;
        plan.uninstallRoot = kLocalMachine;
    }
    return plan;
}

std::vector<PlannedValue> PlannedValues(const InstallPlan& plan) {
    std::vector<PlannedValue> values;
    for (const RegistryEntry& entry : kRegistryEntries) values.push_back({plan.RootOf(entry.place), &entry});
    return values;
}

std::vector<OwnKey> OwnKeys(const InstallPlan& plan) {
    std::vector<OwnKey> keys = {{plan.suiteRoot, ptr::kSuiteKey}};
    if (plan.suiteRoot != kCurrentUser) keys.push_back({kCurrentUser, ptr::kSuiteKey});
    return keys;
}

std::string InstalledPath(const std::string& target, const char* file) {
    return ptr::AddBackslash(target) + file;
}

}  // namespace setup
