#include "folder_rights.h"

#include <windows.h>

namespace ptr {

namespace {

// Protected (nothing inherited from above), inherited by every file and
// folder below: full control for the system and the administrators, read
// and run (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE) for the users.
constexpr char kProgramFolderRights[] = "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
constexpr DWORD kSddlRevision = 1;
constexpr int kFileObject = 1;  // SE_FILE_OBJECT
constexpr DWORD kDaclInformation = 0x00000004;
constexpr DWORD kProtectedDacl = 0x80000000;

using ToDescriptorFn = BOOL(WINAPI*)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
using GetDaclFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, LPBOOL, PACL*, LPBOOL);
using SetNamedSecurityFn = DWORD(WINAPI*)(LPSTR, int, DWORD, PSID, PSID, PACL, PACL);

HMODULE Advapi() { return GetModuleHandleA("advapi32.dll"); }

}  // namespace

bool GiveProgramFolderRights(const std::string& folder, ProcLookup lookup) {
    const auto toDescriptor =
        LateBound<ToDescriptorFn>(Advapi(), "ConvertStringSecurityDescriptorToSecurityDescriptorA", lookup);
    const auto getDacl = LateBound<GetDaclFn>(Advapi(), "GetSecurityDescriptorDacl", lookup);
    const auto setNamed = LateBound<SetNamedSecurityFn>(Advapi(), "SetNamedSecurityInfoA", lookup);
    if (!toDescriptor || !getDacl || !setNamed) return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!toDescriptor(kProgramFolderRights, kSddlRevision, &descriptor, nullptr)) return false;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    bool set = false;
    if (getDacl(descriptor, &present, &dacl, &defaulted) && present) {
        std::string path = folder;
        // Also takes the inherited entries of what lies below to the new list.
        set = setNamed(&path[0], kFileObject, kDaclInformation | kProtectedDacl, nullptr, nullptr, dacl, nullptr) ==
              ERROR_SUCCESS;
    }
    LocalFree(descriptor);
    return set;
}

}  // namespace ptr
