// Where the agent keeps its configuration between runs (HKCU\Software\PTRHK32A\Agent)
// and its view of the application block.
#include "agent.h"
#include "agent_logic.h"

namespace agent {

namespace {

HKEY OpenConfigKey(bool create) {
    HKEY key = nullptr;
    LONG result = create ? RegCreateKeyExA(HKEY_CURRENT_USER, kConfigKey, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                           nullptr, &key, nullptr)
                         : RegOpenKeyExA(HKEY_CURRENT_USER, kConfigKey, 0, KEY_READ, &key);
    return result == ERROR_SUCCESS ? key : nullptr;
}

bool QueryDword(HKEY key, const char* name, int32_t& value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data)
        return false;
    value = static_cast<int32_t>(data);
    return true;
}

bool QueryString(HKEY key, const char* name, std::string& value) {
    char data[1024];
    DWORD type = 0;
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    data[size] = '\0';  // the stored text need not carry its terminator
    value = data;
    return true;
}

std::string WebAddressValueName(int slot) { return "WebAddress" + std::to_string(slot); }

unsigned char* WebAddressSlot(int slot) {
    const int offset = WebAddressOffset(slot);
    return g_agent.appBlock && offset >= 0 ? g_agent.appBlock + offset : nullptr;
}

}  // namespace

void LoadKeptConfiguration(ptr::SettingsBlock& block) {
    HKEY key = OpenConfigKey(false);
    LoadConfiguration(block, GetSystemMetrics(SM_CMOUSEBUTTONS), [key](const char* name, int32_t& value) {
        return key != nullptr && QueryDword(key, name, value);
    });
    if (key) RegCloseKey(key);
}

void SaveKeptConfiguration(const ptr::SettingsBlock& block) {
    HKEY key = OpenConfigKey(true);
    if (!key) {
        Say("PtrAgent: cannot open HKCU\\%s, settings not saved", kConfigKey);
        return;
    }
    for (int i = 0; i < kKeptFieldCount; ++i) {
        const DWORD value = static_cast<DWORD>(ReadKeptField(block, kKeptFields[i]));
        RegSetValueExA(key, kKeptFields[i].name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    RegCloseKey(key);
}

bool OpenAppBlock() {
    g_agent.appMapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kAppBlockSize, kAppBlockName);
    if (!g_agent.appMapping) return false;
    g_agent.appBlock = static_cast<unsigned char*>(MapViewOfFile(g_agent.appMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!g_agent.appBlock) {
        CloseHandle(g_agent.appMapping);
        g_agent.appMapping = nullptr;
        return false;
    }
    return true;
}

void CloseAppBlock() {
    if (g_agent.appBlock) UnmapViewOfFile(g_agent.appBlock);
    if (g_agent.appMapping) CloseHandle(g_agent.appMapping);
    g_agent.appBlock = nullptr;
    g_agent.appMapping = nullptr;
}

int LoadKeptWebAddresses() {
    HKEY key = OpenConfigKey(false);
    if (!key) return 0;
    int loaded = 0;
    for (int slot = 0; slot < kWebAddressSlots; ++slot) {
        std::string address;
        unsigned char* field = WebAddressSlot(slot);
        if (field && QueryString(key, WebAddressValueName(slot).c_str(), address)) {
            WriteShortString(field, address);
            ++loaded;
        }
    }
    RegCloseKey(key);
    return loaded;
}

void SaveKeptWebAddresses() {
    HKEY key = OpenConfigKey(true);
    if (!key) return;
    for (int slot = 0; slot < kWebAddressSlots; ++slot) {
        const std::string address = WebAddressInSlot(slot);
        RegSetValueExA(key, WebAddressValueName(slot).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(address.c_str()), static_cast<DWORD>(address.size() + 1));
    }
    RegCloseKey(key);
}

std::string WebAddressInSlot(int slot) {
    const unsigned char* field = WebAddressSlot(slot);
    return field ? ReadShortString(field) : std::string();
}

}  // namespace agent
