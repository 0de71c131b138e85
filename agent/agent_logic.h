// The tray agent's window-free rules: the kept configuration, auto-scroll
// speed, zoom factor and web addresses. Nothing here touches a window, the
// registry or the screen.
#pragma once

#include "app_block_layout.h"
#include "settings_block.h"
#include "settings_fields.h"
#include "short_string.h"

#include <cstdint>
#include <functional>
#include <string>

namespace agent {

// The agent keeps the first ptr::kKeptSettingsFieldCount fields of the
// block's table between runs, each a REG_DWORD value of its name: every
// field but the window handles. The one of that name, or none.
const ptr::SettingsField* FindKeptField(const char* name);

// The mouse's button count as the block should carry it: 3 to 5.
int ButtonCountFromSystem(int systemButtons);

// The configuration of a first run.
void SetDefaultConfiguration(ptr::SettingsBlock& block, int systemButtons);

// Brings every kept field into the range the settings form offers, and makes
// both zoom targets the same factor times their sources.
void ClampConfiguration(ptr::SettingsBlock& block);

// Looks up a kept value by field name; false when there is none.
using KeptValueLookup = std::function<bool(const char* name, int32_t& value)>;

// Defaults, overridden by whatever was kept, then clamped. Handles are untouched.
void LoadConfiguration(ptr::SettingsBlock& block, int systemButtons, const KeptValueLookup& lookup);

// "ButtonCount=3 WheelCount=1 ..." for every kept field.
std::string DescribeConfiguration(const ptr::SettingsBlock& block);

// Auto scroll: lines to scroll per tick for a cursor distance from the anchor
// along one axis; negative towards the top or left, 0 inside the dead zone.
constexpr int kAutoScrollDeadZone = 8;
constexpr int kAutoScrollPixelsPerLine = 12;
constexpr int kAutoScrollMaxLines = 20;
int AutoScrollLines(int distance);

// Universal Zoom: the factor is kept only as target / source.
int ZoomFactor(const ptr::SettingsBlock& block);
int SteppedZoomFactor(int factor, int32_t wheelDelta);
void SetZoomFactor(ptr::SettingsBlock& block, int factor);

struct Point {
    int x;
    int y;
};
struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

// Top-left corner of a magnifier of the given size beside the cursor: below
// and right of the area it shows, flipped to the other side where the screen
// ends, so that it never covers the area it magnifies.
Point MagnifierOrigin(Point cursor, int sourceWidth, int sourceHeight, int width, int height, Rect screen);

// Web addresses: only an address with a scheme or a "www." start is opened.
bool IsUsableWebAddress(const std::string& address);
// What the shell is given for a kept address: "" when it is unusable, and a
// "www." address with "http://" in front, since the shell takes it for a file.
std::string WebAddressToOpen(const std::string& address);

// The application block and its short strings, as the agent reads them.

// Windows 95 is platform 1 (Windows 9x), version 4.0.
bool IsWindows95(unsigned long platformId, unsigned long major, unsigned long minor);

// The hooks (GetHookStatus bits) that InstallHook(1) puts in on this Windows:
// the mouse and message-filter hooks everywhere, the NT 4 wheel hook when the
// block asks for it, the X-button hook on Windows 2000 and every later NT.
uint32_t RequiredHooks(unsigned long platformId, unsigned long major, bool nt4WheelHook);

// The 64-bit host, started again when it dies: at most kHostRestarts times
// within kHostRestartPeriod milliseconds. A host that keeps dying at once is
// given up on; one that dies now and then is always started again.
constexpr int kHostRestarts = 3;
constexpr uint32_t kHostRestartPeriod = 60000;

class HostRestarts {
public:
    // The host died at `now` (a tick count, which wraps): whether to start it again.
    bool MayRestart(uint32_t now);

private:
    uint32_t restarts_[kHostRestarts] = {};
    int count_ = 0;  // restarts_ used, oldest first
};

}  // namespace agent
