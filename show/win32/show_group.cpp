#include "show/win32/show_group.h"

#include <algorithm>

#include "show/win32/monitors.h"
#include "support/win32/system_info.h"

namespace ruzir::win32 {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1PeriodMs = 50;
// How often, in ticks, the group asks the system for its monitors even
// without word of a change: the word can come before the system's answer
// has changed (under Wine, for one).
constexpr int kMonitorCheckTicks = 20;

}  // namespace

ShowGroup::ShowGroup(LoadedSettings& loaded, const ImageList& images, UniformSource& random,
                     std::function<void(ShowWindow::End)> onEnd)
    : loaded_(loaded), images_(images), random_(random), onEnd_(std::move(onEnd)) {}

ShowGroup::~ShowGroup() {
  if (cursorHidden_) ::ShowCursor(TRUE);
}

bool ShowGroup::Start(HINSTANCE instance) noexcept {
  instance_ = instance;
  if (!RegisterWindowClass(instance, kClassName, nullptr) ||
      !CreateHwnd(instance, kClassName, WS_EX_TOOLWINDOW, WS_POPUP, 0, 0, 0, 0, nullptr)) {
    return false;
  }
  // Hidden before any window shows, so the cursor is never seen over one.
  ::ShowCursor(FALSE);
  cursorHidden_ = true;
  std::vector<MonitorArea> layout = ShowWindowLayout(SystemMonitors());
  if (layout.empty()) {  // the system lists none: the primary screen, as ever
    layout.push_back({{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                      ScreenTwipsScale(),
                      true});
  }
  for (const MonitorArea& monitor : layout) {
    Member member = Open(monitor, false);
    if (!member.window) return false;
    members_.push_back(std::move(member));
  }
  members_.front().window->Show();  // the primary takes the keyboard
  ::SetTimer(hwnd(), kTimer1, kTimer1PeriodMs, nullptr);
  return true;
}

ShowGroup::Member ShowGroup::Open(const MonitorArea& monitor, bool midShow) noexcept {
  Member member;
  try {
    // The primary is made first and draws from the show's own generator.
    if (midShow || !members_.empty()) {
      member.random = std::make_unique<Random>(DrawSeed(random_));
    }
    member.window = std::make_unique<ShowWindow>(
        loaded_, images_, member.random ? *member.random : random_, nullptr, monitor, &cursor_,
        [this](ShowWindow::End end) { End(end); });
  } catch (...) {
    return {};
  }
  ShowWindow& window = *member.window;
  if (window.Load(instance_) != ShowWindow::LoadResult::Loaded) return {};
  // Mid-show, the screen shows the show itself, not the desktop: a window
  // opened then starts on the background.
  if (loaded_.settings.Desktop == 1 && !midShow) window.TakeDesktopSnapshot();
  window.MakeTopmost();
  window.Show();
  return member;
}

LRESULT ShowGroup::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimer1) OnTimer();
      return 0;
    case WM_DISPLAYCHANGE:
      relayoutDue_ = true;
      RecordCursor();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

void ShowGroup::OnTimer() noexcept {
  try {
    if (cursor_.Settled(LookAtCursor, MonotonicSeconds())) return End(ShowWindow::End::Closed);
  } catch (...) {
    return End(ShowWindow::End::Closed);  // out of memory: a watch that cannot look
  }
  // A window's transition handles messages, this timer's too: the other
  // windows drift on meanwhile (the busy one drops the tick), so one
  // monitor's transition does not stop the others' drift; their changes wait
  // until it is over, so that transitions take turns. The windows are
  // laid out again only outside every tick, as no window may close while
  // its own tick is under way.
  if (depth_ == 0 && (relayoutDue_ || ++ticksSinceCheck_ >= kMonitorCheckTicks)) Relayout();
  ++depth_;
  for (Member& member : members_) member.window->OnTimer1(depth_ == 1);
  --depth_;
}

void ShowGroup::Relayout() noexcept {
  relayoutDue_ = false;
  ticksSinceCheck_ = 0;
  std::vector<MonitorArea> wanted;
  std::vector<MonitorArea> current;
  std::vector<Member> next;
  try {
    wanted = ShowWindowLayout(SystemMonitors());
    if (wanted.empty()) return;  // between two layouts: keep the windows there are
    for (const Member& member : members_) current.push_back(member.window->monitor());
    const std::vector<int> reused = ReusedWindows(current, wanted);
    if (wanted.size() == current.size() &&
        std::find(reused.begin(), reused.end(), -1) == reused.end()) {
      return;  // the same monitors
    }
    RecordCursor();
    next.reserve(wanted.size());  // nothing throws once windows start to move
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      Member member = reused[i] >= 0 ? std::move(members_[reused[i]]) : Open(wanted[i], true);
      if (member.window) next.push_back(std::move(member));
    }
  } catch (...) {
    return;  // out of memory: the windows there are stay
  }
  members_ = std::move(next);  // closes the windows no longer wanted
  if (!members_.empty()) members_.front().window->Show();
}

void ShowGroup::RecordCursor() noexcept {
  try {
    cursor_.Record(LookAtCursor());
  } catch (...) {
    // Out of memory: the watch keeps the monitors it knew.
  }
}

void ShowGroup::End(ShowWindow::End end) noexcept {
  if (ended_) return;
  ended_ = true;
  ::KillTimer(hwnd(), kTimer1);
  if (cursorHidden_) ::ShowCursor(TRUE);
  cursorHidden_ = false;
  onEnd_(end);
}

}  // namespace ruzir::win32
