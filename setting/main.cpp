// Setting.exe: binds the hook library's settings block by import, maps the
// application block, refuses to start without a tray agent or beside an open
// settings form, chooses its language and name modules, and runs the form.
#include "app_block.h"
#include "control_classes.h"
#include "form_ids.h"
#include "program_files.h"
#include "programs_view.h"
#include "resource_modules.h"
#include "setting_form.h"
#include "settings_block.h"
#include "start_rules.h"
#include "window_handles.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

// Imported by name: the loader binds it, and with it maps the settings block,
// before any code of this program runs.
extern "C" __declspec(dllimport) void* WINAPI GetMapFilePointer(void);

namespace setting {

namespace {

constexpr int kExitRefused = 1;

struct TBlockBinding {
    ptr::SettingsBlock* block = nullptr;
    TAppBlockView app;
    ptr::ProgramsView programs;  // the tray agent's, where it has one
};

TBlockBinding BindBlocks() {
    TBlockBinding binding;
    binding.block = static_cast<ptr::SettingsBlock*>(GetMapFilePointer());
    binding.app = MapAppBlock();
    binding.programs = ptr::OpenProgramsBlock();
    return binding;
}

void UnbindBlocks(TBlockBinding& binding) {
    ptr::CloseProgramsBlock(binding.programs);
    UnmapAppBlock(binding.app);
    binding.block = nullptr;
}

// Only a live dialog box counts as an open settings form: a handle left behind
// by a settings program that did not end cleanly must not bar every start.
bool IsOpenSettingsForm(uint32_t value) {
    HWND window = ptr::ToHwnd(value);
    if (!IsWindow(window)) return false;
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, "#32770") == 0;
}

int PumpMessages(HWND form) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsWindow(form) && IsDialogMessageA(form, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// The form cannot work without the application block: it copies and writes it.
int ReportMissingAppBlock(HINSTANCE resources) {
    const std::string text = LoadResourceString(resources, APP_BLOCK_FAILED_TEXT);
    const std::string title = LoadResourceString(resources, APP_TITLE_TEXT);
    MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
    return kExitRefused;
}

int RunForm(const TFormEnvironment& environment) {
    InitControlClasses();
    TMOUSESETTINGForm form(environment);
    if (!form.Create()) return kExitRefused;
    form.Show();
    return PumpMessages(form.Handle());
}

int RunProgram(HINSTANCE instance, const TBlockBinding& binding) {
    ptr::SettingsBlock& block = *binding.block;
    switch (DecideStart(block, IsOpenSettingsForm)) {
    case StartDecision::NoAgent: return kExitRefused;
    case StartDecision::FormOpen:
        SetForegroundWindow(ptr::ToHwnd(block.SettingsWindow));
        return kExitRefused;
    case StartDecision::Run: break;
    }

    const std::string folder = ProgramFolder();
    TResourceModule resources(instance);
    resources.SetResourceModule(folder + kLanguageModuleFile);
    TNameModule names = ChooseNameModule(folder, resources.ResourceModule());

    int code = kExitRefused;
    if (binding.app.block) {
        code = RunForm(TFormEnvironment{folder, resources.ResourceModule(), names.module, binding.block,
                                        binding.app.block, binding.programs.block});
    } else {
        code = ReportMissingAppBlock(resources.ResourceModule());
    }
    FreeNameModule(names);
    return code;
}

}  // namespace

}  // namespace setting

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    setting::TBlockBinding binding = setting::BindBlocks();
    const int code = setting::RunProgram(instance, binding);
    setting::UnbindBlocks(binding);
    return code;
}
