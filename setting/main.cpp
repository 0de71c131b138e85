// Setting.exe: binds the hook library's settings block by import, maps the
// application block, refuses to start without a tray agent or beside an open
// settings form, chooses its language and name modules, and runs the form.
#include "app_block_view.h"
#include "control_classes.h"
#include "form_ids.h"
#include "peer_windows.h"
#include "program_files.h"
#include "programs_view.h"
#include "resource_modules.h"
#include "setting_form.h"
#include "settings_block.h"
#include "single_instance.h"
#include "start_rules.h"

#include <windows.h>
#include <commctrl.h>

// Imported by name: the loader binds it, and with it maps the settings block,
// before any code of this program runs.
extern "C" __declspec(dllimport) void* WINAPI GetMapFilePointer(void);

namespace setting {

namespace {

constexpr int kExitRefused = 1;

struct TBlockBinding {
    ptr::SettingsBlock* block = nullptr;
    ptr::AppBlockView app;
    ptr::ProgramsView programs;  // the tray agent's, where it has one
};

TBlockBinding BindBlocks() {
    TBlockBinding binding;
    binding.block = static_cast<ptr::SettingsBlock*>(GetMapFilePointer());
    binding.app = ptr::MapAppBlock();
    binding.programs = ptr::OpenProgramsBlock();
    return binding;
}

void UnbindBlocks(TBlockBinding& binding) {
    ptr::CloseProgramsBlock(binding.programs);
    ptr::UnmapAppBlock(binding.app);
    binding.block = nullptr;
}

int PumpMessages(TMOUSESETTINGForm& form) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (form.HandleFormKey(message)) continue;
        if (IsWindow(form.Handle()) && IsDialogMessageA(form.Handle(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// The form cannot work without the application block: it copies and writes it.
int ReportMissingAppBlock(const TResourceModule& resources) {
    const std::string text = resources.LoadText(APP_BLOCK_FAILED_TEXT);
    const std::string title = resources.LoadText(APP_TITLE_TEXT);
    MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
    return kExitRefused;
}

int RunForm(const TFormEnvironment& environment) {
    InitControlClasses();
    TMOUSESETTINGForm form(environment);
    if (!form.Create()) return kExitRefused;
    form.Show();
    return PumpMessages(form);
}

TFormEnvironment FormEnvironment(const std::string& folder, const TResourceModule& resources,
                                 const TNameModule& names, const TBlockBinding& binding) {
    TFormEnvironment environment;
    environment.folder = folder;
    environment.resourceModule = resources.ResourceModule();
    environment.formModule = resources.FormModule();
    environment.program = resources.Program();
    environment.nameModule = names.module;
    // A name library's own names count alone; a language module's are
    // completed by the program's.
    environment.nameFallback = names.owned ? nullptr : resources.Program();
    environment.block = binding.block;
    environment.appBlock = binding.app.block;
    environment.programs = binding.programs.block;
    return environment;
}

int RunProgram(HINSTANCE instance, const TBlockBinding& binding) {
    ptr::SettingsBlock& block = *binding.block;
    // Without a tray agent there is nothing to wait for.
    if (DecideStart(block, IsTrayAgentWindow, IsOpenSettingsForm) == StartDecision::NoAgent) return kExitRefused;

    // Held until the program ends, so that a start at the same moment waits.
    TSingleInstance instanceLock(kSettingsInstanceMutexName);
    switch (instanceLock.Claim([&block] { return IsShownSettingsForm(block.SettingsWindow); }, kWaitForOtherFormMs)) {
    case TSingleInstance::Outcome::OtherForm: BringFormForward(block.SettingsWindow); return kExitRefused;
    case TSingleInstance::Outcome::Busy: return kExitRefused;
    case TSingleInstance::Outcome::Owner: break;
    }
    switch (DecideStart(block, IsTrayAgentWindow, IsOpenSettingsForm)) {
    case StartDecision::NoAgent: return kExitRefused;
    case StartDecision::FormOpen: BringFormForward(block.SettingsWindow); return kExitRefused;
    case StartDecision::Run: break;
    }

    const std::string folder = ptr::ProgramFolder();
    TResourceModule resources(instance);
    resources.SetResourceModule(folder + kLanguageModuleFile);
    TNameModule names = ChooseNameModule(folder, resources.ResourceModule());

    int code = kExitRefused;
    if (binding.app.block) {
        code = RunForm(FormEnvironment(folder, resources, names, binding));
    } else {
        code = ReportMissingAppBlock(resources);
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
