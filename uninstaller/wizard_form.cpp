// TUninstallMainForm: the wizard of the second instance. A picture on the
// left, the notebook pages "pFirst" and "pFinish" on the right, Next, Abort
// and Finish below. Every caption comes from the dialog text file.
#include "side_picture.h"
#include "temp_copy.h"
#include "uninst_app.h"
#include "wizard_ids.h"

#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace uninst {

namespace {

constexpr int kClientWidth = 573;
constexpr int kClientHeight = 329;
constexpr RECT kNotebook = {138, 8, 138 + 423, 8 + 269};
constexpr COLORREF kBlueText = RGB(0, 0, 255);
constexpr char kDialogTextExtension[] = ".UN2";

enum class Kind { Button, Label, Radio, Report, Other };
enum class Place { Form, PanImage, PageFirst, PageFinish };

// Every control, in creation order, at its pixel position in its parent's
// client area; a width of 0 lets a label size itself to its text.
struct ControlSpec {
    int id;
    const char* name;
    Kind kind;
    Place place;
    int left, top, width, height;
};

constexpr ControlSpec kControls[] = {
    {IDC_PANIMAGE, "panImage", Kind::Other, Place::Form, 6, 8, 126, 266},
    {IDC_IMGWIZARD, "ImgWizard", Kind::Other, Place::PanImage, 0, 0, 122, 262},
    {IDC_BEVWIZARD, "bevWizard", Kind::Other, Place::Form, 6, 283, 556, 2},
    {IDC_NEXTBTN, "NEXTBTN", Kind::Button, Place::Form, 220, 296, 109, 25},
    {IDC_ABORTBTN, "ABORTBTN", Kind::Button, Place::Form, 329, 296, 109, 25},
    {IDC_FINISHBTN, "FINISHBTN", Kind::Button, Place::Form, 454, 295, 109, 25},
    {IDC_P1T, "P1T", Kind::Label, Place::PageFirst, 6, 5, 0, 0},
    {IDC_P1, "P1", Kind::Label, Place::PageFirst, 20, 38, 0, 0},
    {IDC_PRJLABEL, "PrjLabel", Kind::Label, Place::PageFirst, 66, 60, 0, 0},
    {IDC_P2, "P2", Kind::Label, Place::PageFirst, 83, 97, 0, 0},
    {IDC_P3, "P3", Kind::Label, Place::PageFirst, 83, 123, 0, 0},
    {IDC_P4, "P4", Kind::Label, Place::PageFirst, 83, 149, 0, 0},
    {IDC_P5, "P5", Kind::Label, Place::PageFirst, 83, 174, 0, 0},
    {IDC_P6, "P6", Kind::Label, Place::PageFirst, 83, 200, 0, 0},
    {IDC_P2T, "P2T", Kind::Label, Place::PageFinish, 6, 5, 0, 0},
    {IDC_P21, "P21", Kind::Label, Place::PageFinish, 16, 78, 309, 68},
    {IDC_P22, "P22", Kind::Radio, Place::PageFinish, 34, 157, 296, 17},
    {IDC_P23, "P23", Kind::Radio, Place::PageFinish, 34, 186, 295, 17},
    {IDC_P24, "P24", Kind::Report, Place::PageFinish, 6, 40, 411, 222},
};

// What a progress line says instead when its step did not do all it says,
// and the headings of the report of what is left: keys of the dialog text
// file, with the texts used where an older file lacks them.
struct FailureText {
    int line;  // the progress line (1 for P2 ...), 0 for a heading
    const char* key;
    const char* fallback;
};

constexpr FailureText kFailureTexts[] = {
    {1, "P2F", "The tray agent did not close."},
    {2, "P3F", "Some program files could not be deleted."},
    {3, "P4F", "Some program folders could not be removed."},
    {5, "P6F", "Some registry entries could not be restored."},
    {0, "P24", "These are removed when Windows restarts:"},
    {0, "P25", "These could not be removed:"},
    {0, "P26", "These are not PTRHK32A Mouse's, and were left alone:"},
};

// A font of the log's typeface, `height` pixels (negative: character height).
HFONT MakeFont(const std::string& face, int height, bool bold, bool italic) {
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       face.c_str());
}

std::string WindowText(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Text extent of a label in its font.
SIZE LabelSize(HWND label) {
    const std::string text = WindowText(label);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT bounds = {0, 0, 0, 0};
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &bounds, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SIZE size = {text.empty() ? 0 : bounds.right + 1, bounds.bottom};
    return size;
}

class TUninstallMainForm final : public RemovalView {
public:
    TUninstallMainForm(HINSTANCE instance, UninstallContext& context) : instance_(instance), context_(context) {}
    ~TUninstallMainForm() override {
        for (HFONT font : {formFont_, titleFont_, projectFont_}) {
            if (font) DeleteObject(font);
        }
        if (picture_) DeleteObject(picture_);
    }

    HWND Create() {
        return CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_WIZARD), nullptr, FormProc,
                                  reinterpret_cast<LPARAM>(this));
    }
    HWND Handle() const { return form_; }

    // RemovalView.
    void HideButtons() override {
        ShowWindow(GetDlgItem(form_, IDC_NEXTBTN), SW_HIDE);
        ShowWindow(GetDlgItem(form_, IDC_ABORTBTN), SW_HIDE);
    }
    void ShowProgressLine(int line) override {
        ShowWindow(GetDlgItem(pFirst_, IDC_P2 + line - 1), SW_SHOW);
    }
    void ShowFailedLine(int line) override {
        HWND label = GetDlgItem(pFirst_, IDC_P2 + line - 1);
        SetWindowTextA(label, FailureTextOf(line).c_str());
        const SIZE size = LabelSize(label);
        SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(label, SW_SHOW);
    }
    void ShowLeftovers(const RemovalReport& report) override {
        HWND text = GetDlgItem(pFinish_, IDC_P24);
        SetWindowTextA(text, LeftoverText(report).c_str());
        ShowScrollBarWhenNeeded(text);
        ShowWindow(text, SW_SHOW);
    }
    void HandlePendingMessages() override {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            if (!IsDialogMessageA(form_, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }
    void BringToFront() override { SetForegroundWindow(form_); }
    void ShowFinishPage() override {
        SetWindowTextA(form_, WindowText(GetDlgItem(pFinish_, IDC_P2T)).c_str());
        SetForegroundWindow(form_);
        ShowWindow(pFirst_, SW_HIDE);
        ShowWindow(pFinish_, SW_SHOW);
        OfferFinish();
    }

private:
    enum class State { Confirm, Running, Finished };

    static INT_PTR CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(window, DWLP_USER, lParam);
            auto* form = reinterpret_cast<TUninstallMainForm*>(lParam);
            form->form_ = window;
            form->FormCreate();
            return FALSE;
        }
        auto* form = reinterpret_cast<TUninstallMainForm*>(GetWindowLongPtrA(window, DWLP_USER));
        if (!form) return FALSE;
        switch (message) {
        case WM_COMMAND:
            form->Command(LOWORD(wParam));
            return TRUE;
        case WM_CTLCOLORSTATIC: return form->ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DESTROY: PostQuitMessage(0); return TRUE;
        default: return FALSE;
        }
    }

    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(window, DWLP_USER, lParam);
            return FALSE;
        }
        auto* form = reinterpret_cast<TUninstallMainForm*>(GetWindowLongPtrA(window, DWLP_USER));
        if (form && message == WM_CTLCOLORSTATIC) {
            return form->ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        }
        return FALSE;
    }

    void Command(int id) {
        switch (id) {
        case IDC_NEXTBTN: NEXTBTNClick(); break;
        case IDC_ABORTBTN: ABORTBTNClick(); break;
        case IDC_FINISHBTN: FINISHBTNClick(); break;
        case IDCANCEL:  // Escape, or a close request from the system
            if (state_ == State::Confirm) ABORTBTNClick();
            if (state_ == State::Finished) FINISHBTNClick();
            break;
        default: break;
        }
    }

    INT_PTR ColorStatic(HDC dc, HWND control) {
        const int id = GetDlgCtrlID(control);
        if (id == IDC_P1T || id == IDC_P2T || id == IDC_PRJLABEL) SetTextColor(dc, kBlueText);
        // The report scrolls, so it paints its own background.
        if (id == IDC_P24) {
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        } else {
            SetBkMode(dc, TRANSPARENT);
        }
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }

    void FormCreate() {
        CreatePages();
        MakeFonts();
        const std::string dialogTexts = ChangeFileExt(context_.installedExecutable, kDialogTextExtension);
        for (const ControlSpec& spec : kControls) {
            HWND control = ControlOf(spec);
            if (spec.kind == Kind::Other) continue;
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(spec.id)), FALSE);
            if (spec.kind != Kind::Report) SetWindowTextA(control, inslog::ReadDialogText(dialogTexts, spec.name).c_str());
        }
        // Read now: the dialog text file is deleted with the other files.
        for (const FailureText& failure : kFailureTexts) {
            std::string text = inslog::ReadDialogText(dialogTexts, failure.key);
            failureTexts_.push_back(text.empty() ? failure.fallback : text);
        }
        CheckDlgButton(pFinish_, IDC_P22, BST_CHECKED);  // kept as laid out, though never shown
        SetWindowTextA(GetDlgItem(pFirst_, IDC_PRJLABEL), context_.log.ProductName.c_str());
        SetWindowTextA(form_, WindowText(GetDlgItem(pFirst_, IDC_P1T)).c_str());
        PlaceControls();
        picture_ = CreateSidePicture();
        SendDlgItemMessageA(GetDlgItem(form_, IDC_PANIMAGE), IDC_IMGWIZARD, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(picture_));
        SizeAndCentre();
        ShowWindow(pFirst_, SW_SHOW);
        state_ = State::Confirm;
    }

    void CreatePages() {
        pFirst_ = CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_PFIRST), form_, PageProc,
                                     reinterpret_cast<LPARAM>(this));
        pFinish_ = CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_PFINISH), form_, PageProc,
                                      reinterpret_cast<LPARAM>(this));
        for (HWND page : {pFirst_, pFinish_}) {
            SetWindowPos(page, HWND_BOTTOM, kNotebook.left, kNotebook.top, kNotebook.right - kNotebook.left,
                         kNotebook.bottom - kNotebook.top, SWP_NOACTIVATE);
        }
        // The picture lies inside its panel.
        SetParent(GetDlgItem(form_, IDC_IMGWIZARD), GetDlgItem(form_, IDC_PANIMAGE));
    }

    void MakeFonts() {
        const std::string& face = context_.log.FontName;
        formFont_ = MakeFont(face, -MulDiv(9, 96, 72), false, false);
        titleFont_ = MakeFont(face, -21, true, true);
        projectFont_ = MakeFont(face, -12, false, false);
        SendMessageA(form_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_), FALSE);
    }

    HFONT FontOf(int id) const {
        if (id == IDC_P1T || id == IDC_P2T) return titleFont_;
        if (id == IDC_PRJLABEL) return projectFont_;
        return formFont_;
    }

    HWND ParentOf(Place place) const {
        switch (place) {
        case Place::PanImage: return GetDlgItem(form_, IDC_PANIMAGE);
        case Place::PageFirst: return pFirst_;
        case Place::PageFinish: return pFinish_;
        default: return form_;
        }
    }

    HWND ControlOf(const ControlSpec& spec) const { return GetDlgItem(ParentOf(spec.place), spec.id); }

    void PlaceControls() {
        for (const ControlSpec& spec : kControls) {
            HWND control = ControlOf(spec);
            SIZE size = {spec.width, spec.height};
            if (spec.width == 0) size = LabelSize(control);
            SetWindowPos(control, nullptr, spec.left, spec.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    void SizeAndCentre() {
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(form_, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(form_, GWL_EXSTYLE));
        RECT frame = {0, 0, kClientWidth, kClientHeight};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        SetWindowPos(form_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // A short report needs no scroll bar; a long one does.
    static void ShowScrollBarWhenNeeded(HWND text) {
        HDC dc = GetDC(text);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(text, WM_GETFONT, 0, 0)));
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(text, dc);
        RECT client;
        GetClientRect(text, &client);
        ShowScrollBar(text, SB_VERT, FALSE);
        const LRESULT lines = SendMessageA(text, EM_GETLINECOUNT, 0, 0);
        ShowScrollBar(text, SB_VERT, lines * metrics.tmHeight > client.bottom);
    }

    const std::string& FailureTextByKey(const char* key) const {
        std::size_t index = 0;
        while (index + 1 < std::size(kFailureTexts) && std::string(kFailureTexts[index].key) != key) ++index;
        return failureTexts_[index];
    }

    std::string FailureTextOf(int line) const {
        for (std::size_t index = 0; index < std::size(kFailureTexts); ++index) {
            if (kFailureTexts[index].line == line) return failureTexts_[index];
        }
        return "";
    }

    // The agent that did not close, then what goes at the next restart, then
    // what stays, one path or registry entry a line.
    std::string LeftoverText(const RemovalReport& report) const {
        std::vector<std::string> later;
        std::vector<std::string> stays;
        auto goesLater = [&report](const std::string& path) {
            for (const std::string& going : report.atRestart)
                if (ptr::CompareLocaleNoCase(going, path) == 0) return true;
            return false;
        };
        for (const std::string& path : report.filesLeft) (goesLater(path) ? later : stays).push_back(path);
        // A folder after what is in it.
        for (auto path = report.foldersLeft.rbegin(); path != report.foldersLeft.rend(); ++path) {
            (goesLater(*path) ? later : stays).push_back(*path);
        }
        stays.insert(stays.end(), report.registryLeft.begin(), report.registryLeft.end());
        std::string text;
        if (report.programLeftRunning) text += FailureTextOf(1) + "\r\n\r\n";
        const std::pair<const char*, const std::vector<std::string>*> groups[] = {
            {"P24", &later}, {"P25", &stays}, {"P26", &report.refused}};
        for (const auto& group : groups) {
            if (group.second->empty()) continue;
            text += FailureTextByKey(group.first) + "\r\n";
            for (const std::string& item : *group.second) text += "    " + item + "\r\n";
            text += "\r\n";
        }
        return text;
    }

    void OfferFinish() {
        state_ = State::Finished;
        HWND finish = GetDlgItem(form_, IDC_FINISHBTN);
        ShowWindow(finish, SW_SHOW);
        SetFocus(finish);
    }

    void NEXTBTNClick() {
        if (state_ != State::Confirm) return;
        if (!context_.lock.Take(kSetupWait)) {
            ShowMessage(form_, std::string("Setup of ") + context_.log.ProductName +
                                   " is running. Remove it when Setup has ended.",
                        MB_ICONWARNING);
            return;
        }
        state_ = State::Running;
        try {
            RunRemoval(context_, *this);
        } catch (const inslog::EInsLogError& error) {
            // The run stops here; the user can still close the wizard.
            ShowMessage(form_, error.what(), MB_ICONERROR);
            OfferFinish();
        }
    }

    void ABORTBTNClick() { DestroyWindow(form_); }
    void FINISHBTNClick() { DestroyWindow(form_); }

    HINSTANCE instance_;
    UninstallContext& context_;
    HWND form_ = nullptr;
    HWND pFirst_ = nullptr;
    HWND pFinish_ = nullptr;
    HFONT formFont_ = nullptr;
    HFONT titleFont_ = nullptr;
    HFONT projectFont_ = nullptr;
    HBITMAP picture_ = nullptr;
    State state_ = State::Confirm;
    std::vector<std::string> failureTexts_;  // in the order of kFailureTexts
};

}  // namespace

int RunWizard(HINSTANCE instance, UninstallContext& context) {
    TUninstallMainForm form(instance, context);
    HWND window = form.Create();
    if (!window) return 1;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsWindow(form.Handle()) || !IsDialogMessageA(form.Handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 0;
}

}  // namespace uninst
