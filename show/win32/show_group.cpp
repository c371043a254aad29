#include "show/win32/show_group.h"

#include <algorithm>

#include "show/win32/monitors.h"
#include "show/win32/slide_loader.h"
#include "support/win32/system_info.h"

namespace ruzir::win32 {
namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickPeriodMs = 50;
// How often, in ticks, the group asks the system for its monitors even
// without word of a change: the word can come before the system's answer
// has changed (under Wine, for one).
constexpr int kMonitorCheckTicks = 20;

// GDI batches its blits: they must be done before the show writes pixels.
void FinishGdi() { ::GdiFlush(); }

}  // namespace

ShowGroup::ShowGroup(const LoadedSettings& loaded, const ImageList& images, UniformSource& random,
                     std::function<void(End)> onEnd)
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
  std::vector<MonitorArea> layout;
  try {
    // The one worker of the show. Its loader reads `images_`, which outlives
    // the group, and ReadAhead's destructor joins the worker: nothing it
    // reads goes while it runs, whichever way the group ends.
    pictures_.emplace(SlideLoader(images_, DrawSeed(random_)));
    // Each half of a transition lasts at most about 1.5 s, however slowly
    // its pieces move.
    show_.emplace(loaded_.settings, loaded_.CurrentEffect, *pictures_, random_,
                  pacer_.refreshHz() * 3 / 2);
    layout = ShowWindowLayout(SystemMonitors());
  } catch (...) {
    return false;  // no thread, or no memory
  }
  if (layout.empty()) {  // the system lists none: the primary screen, as ever
    layout.push_back({{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                      ScreenTwipsScale(),
                      true});
  }
  // Hidden before any window shows, so the cursor is never seen over one.
  ::ShowCursor(FALSE);
  cursorHidden_ = true;
  for (const MonitorArea& monitor : layout) {
    Member member = Open(monitor, false);
    if (!member.window) return false;
    members_.push_back(std::move(member));
  }
  members_.front().window->TakeKeyboard();  // the primary's
  ::SetTimer(hwnd(), kTickTimer, kTickPeriodMs, nullptr);
  return true;
}

ShowGroup::Member ShowGroup::Open(const MonitorArea& monitor, bool midShow) noexcept {
  Member member;
  try {
    member.window =
        std::make_unique<ShowWindow>(monitor, [this](ShowWindow::Input input) { OnInput(input); });
    if (!member.window->Create(instance_)) return {};
    ShowWindow& window = *member.window;
    member.screen = show_->AddScreen(window.persistent(), window.frame(), monitor.scale, FinishGdi);
    // Mid-show, the screen shows the show itself, not the desktop: a window
    // opened then starts on the background.
    if (loaded_.settings.Desktop == 1 && !midShow) {
      window.TakeDesktopSnapshot();
      show_->Touch(member.screen, {0, 0, window.frame().width, window.frame().height});
    }
    window.Repaint(show_->TakeRepaint(member.screen), false);
  } catch (...) {
    if (member.screen != 0) show_->RemoveScreen(member.screen);
    return {};
  }
  member.window->ShowOnTop();
  return member;
}

LRESULT ShowGroup::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTickTimer) OnTimer();
      return 0;
    case WM_DISPLAYCHANGE:
      relayoutDue_ = true;
      RecordCursor();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

int ShowGroup::Run() noexcept {
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    // Between frames every message waiting has been handled.
    if (ended_ || !show_->Transitioning()) {
      ::WaitMessage();
    } else if (pacer_.WaitForFrame()) {
      OnFrame();
    }
  }
}

void ShowGroup::OnTimer() noexcept {
  if (ended_) return;
  try {
    if (cursor_.Settled(LookAtCursor, MonotonicSeconds())) return Finish(End::Closed);
    if (relayoutDue_ || ++ticksSinceCheck_ >= kMonitorCheckTicks) Relayout();
    const bool framing = show_->Transitioning();
    show_->Tick(MonotonicSeconds());
    if (show_->NoPicture()) return Finish(End::NoPicture);
    // A transition that starts has drawn its first frame.
    if (!framing && show_->Transitioning()) pacer_.Start();
    Repaint(false);
  } catch (...) {
    Finish(End::Closed);  // out of memory: the show cannot go on
  }
}

void ShowGroup::OnFrame() noexcept {
  try {
    show_->NextFrame(MonotonicSeconds());
    Repaint(true);
  } catch (...) {
    Finish(End::Closed);
  }
}

void ShowGroup::Repaint(bool now) {
  for (const Member& member : members_) {
    member.window->Repaint(show_->TakeRepaint(member.screen), now);
  }
}

void ShowGroup::OnInput(ShowWindow::Input input) noexcept {
  if (ended_) return;
  bool moved = true;  // out of memory: a watch that cannot look ends the show
  if (input == ShowWindow::Input::Move) {
    try {
      moved = cursor_.HasMoved(LookAtCursor, MonotonicSeconds());
    } catch (...) {
    }
  }
  if (moved) Finish(End::Closed);
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
  // The windows no longer wanted leave the show and close.
  for (const Member& member : members_) {
    if (member.window) show_->RemoveScreen(member.screen);
  }
  members_ = std::move(next);
  if (!members_.empty()) members_.front().window->TakeKeyboard();
}

void ShowGroup::RecordCursor() noexcept {
  try {
    cursor_.MonitorsChanged(LookAtCursor(), MonotonicSeconds());
  } catch (...) {
    // Out of memory: the watch keeps the monitors it knew.
  }
}

void ShowGroup::Finish(End end) noexcept {
  if (ended_) return;
  ended_ = true;
  ::KillTimer(hwnd(), kTickTimer);
  if (cursorHidden_) ::ShowCursor(TRUE);
  cursorHidden_ = false;
  // The program's message comes with no window of the show left behind it.
  if (end == End::NoPicture) members_.clear();
  onEnd_(end);
}

}  // namespace ruzir::win32
