// The settings form's pictures: the snapshot of the screen that its test
// areas show, the window's icon, the logo, and the mouse picture, drawn from
// the region-data file with the button being edited lit (or the plain
// MOUSE.BMP where that file is missing or unreadable); the logo and the
// mouse each in the middle of its frame.
#pragma once

#include "form_controls.h"
#include "region_data.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace setting {

class TFormPictures {
public:
    struct Environment {
        TFormControls* controls;
        std::string folder;         // the program folder, ending in a backslash
        HINSTANCE resourceModule;   // the built-in icon comes from here,
        HINSTANCE program;          // or from the program where it has none
    };

    explicit TFormPictures(const Environment& environment);
    ~TFormPictures();
    TFormPictures(const TFormPictures&) = delete;
    TFormPictures& operator=(const TFormPictures&) = delete;

    // Before the form loads its controls: the test pictures into their
    // scroll boxes, and the built-in icon.
    void Prepare();
    // The whole screen as it is now, shown in both test areas (where a
    // language module's form gives a test picture of its own, that stays).
    void ShowScreenSnapshot();
    // RES\Tray.ico, Logo.bmp and the mouse picture, from the program folder;
    // the mouse's button count chooses the picture of the region-data file,
    // "M3" or "M5".
    void Load(unsigned buttonCount);
    // The button of a function box lit on the mouse picture, or the picture
    // plain again; nothing without a region-data file.
    void LightButton(uint32_t regionId);
    void ShowPlain();
    // With the form's window: the snapshot goes.
    void ReleaseSnapshot();

private:
    HWND Control(int id) const { return env_.controls->Control(id); }
    void ShowSnapshotIn(HWND image, HWND box);
    void LoadTrayIcon();
    void LoadLogo();
    void LoadMousePicture(unsigned buttonCount);
    void CentreInFrame(int image, int frame);

    Environment env_;
    HBITMAP snapshot_ = nullptr;
    HBITMAP logo_ = nullptr;
    HBITMAP mouseBitmap_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HWND scrollTestImage_ = nullptr;
    HWND autoScrollTestImage_ = nullptr;
    bool pictureMapLoaded_ = false;
    std::unique_ptr<TKsvRegionFile> regionFile_;
    TKsvRegionObject* mouseRegion_ = nullptr;
};

}  // namespace setting
