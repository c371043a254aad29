#include "show/win32/frame_pacer.h"

#include <dwmapi.h>

// Windows 10 1803 and later; older systems refuse it and get a plain timer.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace ruzir::win32 {
namespace {

constexpr LONGLONG kHundredNsPerSecond = 10'000'000;
constexpr DWORD kDefaultRefreshHz = 60;

LONGLONG Now() noexcept {
  LARGE_INTEGER counter{};
  LARGE_INTEGER frequency{};
  ::QueryPerformanceCounter(&counter);
  ::QueryPerformanceFrequency(&frequency);
  // Whole seconds and the remainder apart, so the product cannot overflow.
  const LONGLONG seconds = counter.QuadPart / frequency.QuadPart;
  const LONGLONG rest = counter.QuadPart % frequency.QuadPart;
  return seconds * kHundredNsPerSecond + rest * kHundredNsPerSecond / frequency.QuadPart;
}

DWORD RefreshHz() noexcept {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  // 0 and 1 mean "the hardware's default".
  if (::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) &&
      mode.dmDisplayFrequency > 1) {
    return mode.dmDisplayFrequency;
  }
  return kDefaultRefreshHz;
}

}  // namespace

FramePacer::FramePacer() noexcept {
  BOOL enabled = FALSE;
  composition_ = SUCCEEDED(::DwmIsCompositionEnabled(&enabled)) && enabled;
  refreshHz_ = static_cast<int>(RefreshHz());
  period_ = kHundredNsPerSecond / refreshHz_;
  timer_.reset(::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                        TIMER_ALL_ACCESS));
  if (!timer_) timer_.reset(::CreateWaitableTimerW(nullptr, TRUE, nullptr));
}

void FramePacer::Start() noexcept { deadline_ = Now() + period_; }

bool FramePacer::WaitForFrame() noexcept {
  if (composition_ && SUCCEEDED(::DwmFlush())) return true;
  const LONGLONG remaining = deadline_ - Now();
  if (remaining > 0) {
    if (timer_) {
      LARGE_INTEGER due{};
      due.QuadPart = -remaining;  // negative: relative, in 100 ns units
      ::SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE);
      const HANDLE timer = timer_.get();
      ::MsgWaitForMultipleObjectsEx(1, &timer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    } else {
      const auto ms = static_cast<DWORD>((remaining + 9'999) / 10'000);
      ::MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
  }
  const LONGLONG now = Now();
  if (now < deadline_) return false;  // a message came first
  // A frame that took longer than a period starts the schedule afresh rather
  // than hurrying the next ones.
  deadline_ = (deadline_ + period_ < now) ? now + period_ : deadline_ + period_;
  return true;
}

}  // namespace ruzir::win32
