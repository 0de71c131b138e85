#include "agent_logic.h"

#include "ptrhk32a.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace agent {


const ptr::SettingsField* FindKeptField(const char* name) {
    const ptr::SettingsField* field = ptr::FindSettingsField(name);
    return field && field->kind != ptr::FieldKind::Handle ? field : nullptr;
}

int ButtonCountFromSystem(int systemButtons) {
    constexpr const ptr::SettingsField& kButtonCount = ptr::SettingsFieldNamed("ButtonCount");
    return ptr::ClampSettingsFieldValue(kButtonCount, systemButtons);
}

void SetDefaultConfiguration(ptr::SettingsBlock& block, int systemButtons) {
    ptr::WriteFirstRunFields(block);
    block.ButtonCount = static_cast<uint16_t>(ButtonCountFromSystem(systemButtons));
}

void ClampConfiguration(ptr::SettingsBlock& block) {
    for (int i = 0; i < ptr::kKeptSettingsFieldCount; ++i) {
        const ptr::SettingsField& field = ptr::kSettingsFields[i];
        const int32_t value = ptr::ReadSettingsField(block, field);
        ptr::WriteSettingsField(block, field, ptr::ClampSettingsFieldValue(field, value));
    }
    SetZoomFactor(block, ZoomFactor(block));
}

void LoadConfiguration(ptr::SettingsBlock& block, int systemButtons, const KeptValueLookup& lookup) {
    SetDefaultConfiguration(block, systemButtons);
    for (int i = 0; i < ptr::kKeptSettingsFieldCount; ++i) {
        const ptr::SettingsField& field = ptr::kSettingsFields[i];
        int32_t value = 0;
        // Clamped before it is written: a 16-bit field would otherwise wrap.
        if (!lookup(field.name, value)) continue;
        ptr::WriteSettingsField(block, field, ptr::ClampSettingsFieldValue(field, value));
    }
    ClampConfiguration(block);
}

std::string DescribeConfiguration(const ptr::SettingsBlock& block) {
    std::string text;
    for (int i = 0; i < ptr::kKeptSettingsFieldCount; ++i) {
        if (!text.empty()) text += ' ';
        text += ptr::kSettingsFields[i].name;
        text += '=';
        text += std::to_string(ptr::ReadSettingsField(block, ptr::kSettingsFields[i]));
    }
    return text;
}

int AutoScrollLines(int distance) {
    const long long magnitude = distance < 0 ? -static_cast<long long>(distance) : distance;
    if (magnitude <= kAutoScrollDeadZone) return 0;
    const long long lines = std::min<long long>((magnitude - kAutoScrollDeadZone) / kAutoScrollPixelsPerLine + 1,
                                                kAutoScrollMaxLines);
    return static_cast<int>(distance < 0 ? -lines : lines);
}

int ZoomFactor(const ptr::SettingsBlock& block) {
    const int factor = block.ZoomSourceWidth > 0 ? block.ZoomTargetWidth / block.ZoomSourceWidth : ptr::kMinZoomFactor;
    return std::min(std::max(factor, ptr::kMinZoomFactor), ptr::kMaxZoomFactor);
}

int SteppedZoomFactor(int factor, int32_t wheelDelta) {
    // A step per whole notch the hooks counted; a delta short of a notch
    // still steps once in its direction.
    int32_t steps = wheelDelta / 120;
    if (steps == 0 && wheelDelta != 0) steps = wheelDelta > 0 ? 1 : -1;
    steps = std::min(std::max(steps, -ptr::kMaxZoomFactor), ptr::kMaxZoomFactor);
    return std::min(std::max(factor + steps, ptr::kMinZoomFactor), ptr::kMaxZoomFactor);
}

void SetZoomFactor(ptr::SettingsBlock& block, int factor) {
    // Each target is one aligned word; the hooks may read one before the other.
    block.ZoomTargetWidth = factor * block.ZoomSourceWidth;
    block.ZoomTargetHeight = factor * block.ZoomSourceHeight;
}

Point MagnifierOrigin(Point cursor, int sourceWidth, int sourceHeight, int width, int height, Rect screen) {
    constexpr int kGap = 16;
    Point origin{cursor.x + sourceWidth / 2 + kGap, cursor.y + sourceHeight / 2 + kGap};
    if (origin.x + width > screen.right) origin.x = cursor.x - sourceWidth / 2 - kGap - width;
    if (origin.y + height > screen.bottom) origin.y = cursor.y - sourceHeight / 2 - kGap - height;
    return origin;
}

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const size_t length = std::strlen(prefix);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

}  // namespace

bool IsUsableWebAddress(const std::string& address) {
    for (char c : address)
        if (static_cast<unsigned char>(c) <= ' ') return false;  // blanks and control characters
    static const char* const kStarts[] = {"http://", "https://", "ftp://", "www."};
    for (const char* start : kStarts)
        if (StartsWithNoCase(address, start)) return address.size() > std::strlen(start);
    return false;
}

std::string WebAddressToOpen(const std::string& address) {
    if (!IsUsableWebAddress(address)) return std::string();
    return StartsWithNoCase(address, "www.") ? "http://" + address : address;
}

bool IsWindows95(unsigned long platformId, unsigned long major, unsigned long minor) {
    return platformId == 1 && major == 4 && minor == 0;
}

bool HostRestarts::MayRestart(uint32_t now) {
    // Restarts older than the period no longer count (unsigned ages stay
    // right across the wrap of the tick count).
    int kept = 0;
    for (int i = 0; i < count_; ++i)
        if (now - restarts_[i] < kHostRestartPeriod) restarts_[kept++] = restarts_[i];
    count_ = kept;
    if (count_ == kHostRestarts) return false;
    restarts_[count_++] = now;
    return true;
}

uint32_t RequiredHooks(unsigned long platformId, unsigned long major, bool nt4WheelHook) {
    uint32_t hooks = HOOK_STATUS_MOUSE | HOOK_STATUS_MSGFILTER;
    if (platformId != VER_PLATFORM_WIN32_NT) return hooks;
    if (major <= 4) return nt4WheelHook ? hooks | HOOK_STATUS_NT4_WHEEL : hooks;
    return hooks | HOOK_STATUS_XBUTTON;
}

}  // namespace agent
