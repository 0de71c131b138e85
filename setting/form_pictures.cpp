#include "form_pictures.h"

#include "file_checks.h"
#include "form_ids.h"
#include "form_layout.h"
#include "scroll_box.h"
#include "suite_names.h"

#include <exception>

namespace setting {

namespace {

// The picture map's own failures are dropped: the picture then stays as it is.
template <typename Action>
void DroppingFailures(Action action) {
    try {
        action();
    } catch (const std::exception&) {
    }
}

}  // namespace

TFormPictures::TFormPictures(const Environment& environment) : env_(environment) {}

TFormPictures::~TFormPictures() {
    if (logo_) DeleteObject(logo_);
    if (mouseBitmap_) DeleteObject(mouseBitmap_);
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

void TFormPictures::Prepare() {
    // The test pictures live inside their scroll boxes.
    scrollTestImage_ = Control(ScrollTestIMage);
    autoScrollTestImage_ = Control(AutoScrollTestIMage);
    SetParent(scrollTestImage_, Control(IDC_SCROLL_TEST_BOX));
    SetParent(autoScrollTestImage_, Control(IDC_AUTO_SCROLL_TEST_BOX));
    SetWindowPos(scrollTestImage_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(autoScrollTestImage_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    // The built-in icon, until RES\Tray.ico replaces it.
    HICON icon = LoadIconA(env_.resourceModule, "MAINICON");
    if (!icon) icon = LoadIconA(env_.program, "MAINICON");
    if (icon) {
        SendMessageA(env_.controls->Form(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(env_.controls->Form(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

void TFormPictures::ShowScreenSnapshot() {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HWND desktop = GetDesktopWindow();
    HDC screen = GetWindowDC(desktop);
    if (screen) {
        snapshot_ = CreateCompatibleBitmap(screen, width, height);
        HDC memory = CreateCompatibleDC(screen);
        if (snapshot_ && memory) {
            HGDIOBJ old = SelectObject(memory, snapshot_);
            BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
            SelectObject(memory, old);
        }
        if (memory) DeleteDC(memory);
        ReleaseDC(desktop, screen);
    }
    ShowSnapshotIn(scrollTestImage_, Control(IDC_SCROLL_TEST_BOX));
    ShowSnapshotIn(autoScrollTestImage_, Control(IDC_AUTO_SCROLL_TEST_BOX));
}

void TFormPictures::ShowSnapshotIn(HWND image, HWND box) {
    // A picture of its own (from a language module's form) stays.
    if (!snapshot_ || SendMessageA(image, STM_GETIMAGE, IMAGE_BITMAP, 0)) return;
    BITMAP info = {};
    GetObjectA(snapshot_, sizeof info, &info);
    SendMessageA(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(snapshot_));
    SetWindowPos(image, nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ScrollBoxContentChanged(box);
}

void TFormPictures::Load(unsigned buttonCount) {
    LoadTrayIcon();
    LoadLogo();
    LoadMousePicture(buttonCount);
    CentreInFrame(LogoImage, IDC_LOGO_FRAME);
    CentreInFrame(MouseImage, IDC_MOUSE_FRAME);
}

void TFormPictures::LoadTrayIcon() {
    const std::string icon = env_.folder + ptr::kTrayIconFile;
    if (!ptr::FileExists(icon)) return;
    bigIcon_ = static_cast<HICON>(LoadImageA(nullptr, icon.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), LR_LOADFROMFILE));
    smallIcon_ = static_cast<HICON>(LoadImageA(nullptr, icon.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE));
    if (bigIcon_) SendMessageA(env_.controls->Form(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    if (smallIcon_) SendMessageA(env_.controls->Form(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void TFormPictures::LoadLogo() {
    const std::string logo = env_.folder + ptr::kLogoFile;
    if (!ptr::FileExists(logo)) return;
    logo_ = static_cast<HBITMAP>(LoadImageA(nullptr, logo.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (logo_) SendMessageA(Control(LogoImage), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_));
}

void TFormPictures::LoadMousePicture(unsigned buttonCount) {
    pictureMapLoaded_ = false;
    const std::string regions = env_.folder + ptr::kRegionDataFile;
    if (ptr::FileExists(regions)) {
        regionFile_ = std::make_unique<TKsvRegionFile>(regions);
        DroppingFailures([this, buttonCount] {
            regionFile_->LoadFromFile();
            TKsvRegionObject* object = regionFile_->FindObject(buttonCount == 3 ? "M3" : "M5");
            if (!object) return;
            object->AttachImage(Control(MouseImage));
            mouseRegion_ = object;
            pictureMapLoaded_ = true;
        });
    }
    const std::string plain = env_.folder + ptr::kMouseBitmapFile;
    if (!pictureMapLoaded_ && ptr::FileExists(plain)) {
        mouseBitmap_ = static_cast<HBITMAP>(LoadImageA(nullptr, plain.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (mouseBitmap_)
            SendMessageA(Control(MouseImage), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(mouseBitmap_));
    }
}

void TFormPictures::CentreInFrame(int image, int frame) {
    const RECT frameRect = env_.controls->ChildRect(frame);
    const RECT imageRect = env_.controls->ChildRect(image);
    const PicturePlace place = CentredInFrame(frameRect.left, frameRect.top, frameRect.right - frameRect.left,
                                              frameRect.bottom - frameRect.top, imageRect.right - imageRect.left,
                                              imageRect.bottom - imageRect.top);
    SetWindowPos(Control(image), nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormPictures::LightButton(uint32_t regionId) {
    if (mouseRegion_) DroppingFailures([this, regionId] { mouseRegion_->HighlightRegion(regionId); });
}

void TFormPictures::ShowPlain() {
    if (mouseRegion_) DroppingFailures([this] { mouseRegion_->ShowPlain(); });
}

void TFormPictures::ReleaseSnapshot() {
    if (!snapshot_) return;
    SendMessageA(scrollTestImage_, STM_SETIMAGE, IMAGE_BITMAP, 0);
    SendMessageA(autoScrollTestImage_, STM_SETIMAGE, IMAGE_BITMAP, 0);
    DeleteObject(snapshot_);
    snapshot_ = nullptr;
}

}  // namespace setting
