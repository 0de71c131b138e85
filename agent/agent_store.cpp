// Where the agent keeps its configuration between runs (HKCU\Software\PTRHK32A\Agent)
// and its view of the application block.
#include "agent.h"
#include "agent_logic.h"
#include "reg_key.h"

namespace agent {

namespace {

// The longest web address text read back: a kept one is at most 255 characters.
constexpr DWORD kMaxKeptText = 1023;

bool OpenConfigKey(ptr::RegKey& key, bool create) {
    return create ? key.Create(HKEY_CURRENT_USER, ptr::kAgentConfigKey, KEY_READ | KEY_WRITE)
                  : key.Open(HKEY_CURRENT_USER, ptr::kAgentConfigKey, KEY_READ);
}

std::string WebAddressValueName(int slot) { return "WebAddress" + std::to_string(slot); }

}  // namespace

void LoadKeptConfiguration(ptr::SettingsBlock& block) {
    ptr::RegKey key;
    const bool opened = OpenConfigKey(key, false);
    LoadConfiguration(block, GetSystemMetrics(SM_CMOUSEBUTTONS), [&key, opened](const char* name, int32_t& value) {
        return opened && key.ReadDword(name, value);
    });
}

void SaveKeptConfiguration(const ptr::SettingsBlock& block) {
    ptr::RegKey key;
    if (!OpenConfigKey(key, true)) {
        Say("PtrAgent: cannot open HKCU\\%s, settings not saved", ptr::kAgentConfigKey);
        return;
    }
    for (int i = 0; i < ptr::kKeptSettingsFieldCount; ++i) {
        const ptr::SettingsField& field = ptr::kSettingsFields[i];
        key.WriteDword(field.name, ptr::ReadSettingsField(block, field));
    }
}

bool OpenAppBlock() {
    g_agent.app = ptr::MapAppBlock();
    return g_agent.app.block != nullptr;
}

void CloseAppBlock() { ptr::UnmapAppBlock(g_agent.app); }

int LoadKeptWebAddresses() {
    ptr::RegKey key;
    if (!OpenConfigKey(key, false) || !g_agent.app.block) return 0;
    int loaded = 0;
    for (int slot = 0; slot < ptr::kWebAddressSlots; ++slot) {
        std::string address;
        if (key.ReadString(WebAddressValueName(slot), address, kMaxKeptText)) {
            ptr::SetWebAddress(g_agent.app.block, slot, address);
            ++loaded;
        }
    }
    return loaded;
}

void SaveKeptWebAddresses() {
    ptr::RegKey key;
    if (!OpenConfigKey(key, true)) return;
    for (int slot = 0; slot < ptr::kWebAddressSlots; ++slot)
        key.WriteString(WebAddressValueName(slot), WebAddressInSlot(slot));
}

std::string WebAddressInSlot(int slot) { return ptr::GetWebAddress(g_agent.app.block, slot); }

bool OpenProgramsBlock() {
    g_agent.programs = ptr::CreateProgramsBlock();
    return g_agent.programs.block != nullptr;
}

void CloseProgramsBlock() { ptr::CloseProgramsBlock(g_agent.programs); }

namespace {

std::string ProgramKeyPath(const std::string& name) { return std::string(ptr::kProgramsConfigKey) + "\\" + name; }

std::vector<std::string> KeptProgramNames() {
    ptr::RegKey key;
    if (!key.Open(HKEY_CURRENT_USER, ptr::kProgramsConfigKey, KEY_READ)) return {};
    return key.SubkeyNames();
}

bool ReadProgramValue(const std::string& program, const char* field, int32_t& value) {
    ptr::RegKey key;
    return ptr::IsProgramFileName(program) && key.Open(HKEY_CURRENT_USER, ProgramKeyPath(program), KEY_READ) &&
           key.ReadDword(field, value);
}

}  // namespace

ProgramChoice LoadKeptPrograms() { return ChooseKeptPrograms(KeptProgramNames(), ReadProgramValue); }

std::vector<ptr::ProgramSettings> ReadKeptPrograms() {
    std::vector<ptr::ProgramSettings> kept;
    for (const std::string& name : KeptProgramNames())
        if (ptr::IsProgramFileName(name)) kept.push_back(LoadProgram(name, ReadProgramValue));
    return kept;
}

void KeepProgram(const ptr::ProgramSettings& program) {
    ptr::RegKey key;
    if (!ptr::IsProgramFileName(program.name) ||
        !key.Create(HKEY_CURRENT_USER, ProgramKeyPath(program.name), KEY_READ | KEY_WRITE)) {
        Say("PtrAgent: cannot keep the settings of %s", program.name.c_str());
        return;
    }
    for (const char* field : ptr::kProgramFieldNames) {
        if (program.Has(field)) {
            key.WriteDword(field, program.Get(field));
        } else if (key.HasValue(field)) {
            key.DeleteValue(field);
        }
    }
}

void RemoveKeptProgram(const std::string& name) {
    ptr::RegKey programs;
    // The key holds values only, so that every Windows deletes it whole.
    if (ptr::IsProgramFileName(name) && programs.Open(HKEY_CURRENT_USER, ptr::kProgramsConfigKey, KEY_READ | KEY_WRITE))
        RegDeleteKeyA(programs.get(), name.c_str());
}

}  // namespace agent
