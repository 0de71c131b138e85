#include "invariants.h"

#include "actions.h"
#include "function_codes.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace ptr::stress {
namespace {

constexpr int kMaxSteps = 273;            // lines, columns or keystrokes of one scroll
constexpr int kMaxWheelDelta = 273 * 120;  // 32760, fits the 16 bits of WM_MOUSEWHEEL
constexpr size_t kMaxDeliveries = 2 * (kMaxSteps + 1) + 16;

std::string Format(const char* format, unsigned long long a = 0, unsigned long long b = 0,
                   unsigned long long c = 0) {
    char text[256];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

bool IsOneOf(uint32_t value, std::initializer_list<uint32_t> values) {
    for (uint32_t v : values)
        if (v == value) return true;
    return false;
}

std::string CheckWheelDelta(const fake::Delivery& d, int delta) {
    if (std::abs(delta) > kMaxWheelDelta)
        return Format("a wheel message to 0x%llx carries delta %lld", reinterpret_cast<uintptr_t>(d.window),
                      static_cast<unsigned long long>(static_cast<long long>(delta)));
    return "";
}

}  // namespace

void UpdateAgentView(AgentView& view, World& world) {
    uint32_t agent = world.block.AgentWindow;
    if (view.agentWindow != agent || !world.desk.HasWindow(ToHwnd(agent))) view = AgentView{agent};
    for (const fake::Delivery& d : world.desk.Deliveries()) {
        if (FromHwnd(d.window) != agent || agent == 0) continue;
        switch (d.message) {
        case UM_MODESTATE: view.announcedMode = static_cast<uint32_t>(d.wParam); break;
        case UM_MODEEND: view.announcedMode = 0; break;
        case UM_ZOOMSTART: view.zooming = true; break;
        case UM_ZOOMEND: view.zooming = false; break;
        case UM_AUTOSCROLLSTART: view.autoScrolling = true; break;
        case UM_AUTOSCROLLEND: view.autoScrolling = false; break;
        default: break;
        }
    }
}

std::string CheckDeliveries(World& world) {
    fake::FakeDesktop& desk = world.desk;
    if (desk.MisdirectedCount() != 0) return "delivered to a handle that names no window: " + desk.LastMisdirected();
    const std::vector<fake::Delivery>& deliveries = desk.Deliveries();
    if (deliveries.size() > kMaxDeliveries)
        return Format("%llu messages posted or sent in one call", deliveries.size());

    std::map<UINT, int> scrollMessages;
    std::map<WPARAM, int> keyDowns;
    for (const fake::Delivery& d : deliveries) {
        if (d.sent && (!(d.flags & SMTO_ABORTIFHUNG) || d.timeout == 0 || d.timeout > kSendTimeoutMs))
            return Format("a send without a bound: flags 0x%llx timeout %llu", d.flags, d.timeout);
        if (d.message == WM_VSCROLL || d.message == WM_HSCROLL) ++scrollMessages[d.message];
        if (d.message == WM_KEYDOWN) ++keyDowns[d.wParam];
        if (d.message == WM_MOUSEWHEEL) {
            std::string found = CheckWheelDelta(d, static_cast<int16_t>(HIWORD(d.wParam)));
            if (!found.empty()) return found;
        }
        for (const ProcessState& p : world.process) {
            if (p.RollMessage != 0 && d.message == p.RollMessage) {
                std::string found = CheckWheelDelta(d, static_cast<int32_t>(static_cast<uint32_t>(d.wParam)));
                if (!found.empty()) return found;
            }
        }
    }
    for (const auto& [message, count] : scrollMessages)
        if (count > kMaxSteps + 1) return Format("%llu scroll messages 0x%llx in one call", count, message);
    for (const auto& [vk, count] : keyDowns)
        if (count > kMaxSteps) return Format("%llu keystrokes 0x%llx posted in one call", count, vk);

    std::map<BYTE, int> injectedDowns;
    for (const fake::KeyEvent& k : desk.KeyEvents())
        if (!(k.flags & KEYEVENTF_KEYUP)) ++injectedDowns[k.vk];
    for (const auto& [vk, count] : injectedDowns)
        if (count > kMaxSteps) return Format("key 0x%llx pressed %llu times in one call", vk, count);
    return "";
}

std::string CheckHeldInput(World& world, const UserState& user, bool judgeButtons) {
    const HookSharedState& s = world.shared;
    for (BYTE vk : world.desk.HeldKeys()) {
        bool allowed = (vk == VK_SHIFT && s.ShiftLocked != 0) || (vk == VK_CONTROL && s.ControlLocked != 0) ||
                       (vk == VK_MENU && s.Mode == function::kTaskSwitch);
        if (!allowed)
            return Format("key 0x%llx left down (Mode %llu, ReleaseAction %llu)", vk, s.Mode,
                          static_cast<unsigned long long>(s.ReleaseAction));
    }
    if (!judgeButtons) return "";
    // A button the user holds is let go by the user, unless the low-level
    // hook swallows its release.
    unsigned userLetsGo = user.held & ~user.translated;
    unsigned held = world.desk.HeldButtons() & ~userLetsGo;
    unsigned allowed = 0;
    if (s.Mode == function::kDragLock) allowed |= world.primaryIsRight ? fake::HELD_RIGHT : fake::HELD_LEFT;
    // The middle press made for an application (released by the user's own
    // release), the agent's auto scroll, or the press made of a held X button.
    if (s.ReleaseAction == kReleasePassThrough || s.Mode == function::kAutoScroll || user.translated != 0)
        allowed |= fake::HELD_MIDDLE;
    if (s.ReleaseAction == kReleaseXButton1) allowed |= fake::HELD_X1;
    if (s.ReleaseAction == kReleaseXButton2) allowed |= fake::HELD_X2;
    if (held & ~allowed)
        return Format("buttons 0x%llx left down (Mode %llu, ReleaseAction %llu)", held & ~allowed, s.Mode,
                      static_cast<unsigned long long>(s.ReleaseAction));
    return "";
}

std::string CheckSharedState(World& world, const AgentView& view) {
    const HookSharedState& s = world.shared;
    if (!IsOneOf(s.Mode, {0, function::kDragLock, function::kShiftLock, function::kControlLock,
                          function::kHorizontalWheel, function::kUniversalScroll, function::kAutoScroll,
                          function::kUniversalZoom, function::kTaskSwitch}))
        return Format("Mode %llu", s.Mode);
    if (!IsOneOf(static_cast<uint32_t>(s.ReleaseAction),
                 {kReleaseSwallow, kReleasePassThrough, kReleaseXButton1, kReleaseXButton2}))
        return Format("ReleaseAction %llu", static_cast<unsigned long long>(s.ReleaseAction));
    if (s.PendingButton >= 5) return Format("PendingButton %llu", s.PendingButton);
    if (s.TabCount < 0 || s.TabCount > kMaxSteps) return Format("TabCount %lld", static_cast<unsigned long long>(s.TabCount));
    if (!IsOneOf(static_cast<uint32_t>(s.ShiftLocked), {0, 1}) ||
        (s.ShiftLocked != 0) != (s.Mode == function::kShiftLock))
        return Format("ShiftLocked %llu in Mode %llu", static_cast<unsigned long long>(s.ShiftLocked), s.Mode);
    if (!IsOneOf(static_cast<uint32_t>(s.ControlLocked), {0, 1}) ||
        (s.ControlLocked != 0) != (s.Mode == function::kControlLock))
        return Format("ControlLocked %llu in Mode %llu", static_cast<unsigned long long>(s.ControlLocked), s.Mode);
    if (!IsOneOf(static_cast<uint32_t>(s.MenuActive), {0, 1})) return Format("MenuActive %llu", s.MenuActive);
    if (s.VThreshold < 1 || s.HThreshold < 1 || s.VStep < 1 || s.VStep > 20 || s.HStep < 1 || s.HStep > 10)
        return Format("universal-scroll steps %llu/%llu/%llu", s.VThreshold, s.VStep, s.HStep);
    if (view.announcedMode != 0 && view.announcedMode != s.Mode)
        return Format("the agent still shows mode %llu in Mode %llu", view.announcedMode, s.Mode);
    if (view.zooming && s.Mode != function::kUniversalZoom) return Format("the agent still zooms in Mode %llu", s.Mode);
    if (view.autoScrolling && s.Mode != function::kAutoScroll)
        return Format("the agent still auto-scrolls in Mode %llu", s.Mode);
    return "";
}

}  // namespace ptr::stress
