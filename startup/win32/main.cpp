// Process entry of ruzir.scr.
//
// Start-up runs once, before any window exists: the run-flag rule, the
// command line, then one of three modes. The full-screen show runs in its
// group's message loop and the preview in a plain one, each until the show
// ends, which ends the process; the settings mode ends when its dialog has
// closed.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dialog/win32/settings_dialog.h"
#include "settings/settings.h"
#include "settings/win32/registry_store.h"
#include "show/image_list.h"
#include "show/win32/file_search.h"
#include "show/win32/picture_decoder.h"
#include "show/win32/show_group.h"
#include "show/win32/preview_window.h"
#include "startup/startup_plan.h"
#include "support/random.h"
#include "support/win32/com.h"
#include "support/win32/handles.h"
#include "support/win32/message.h"
#include "support/win32/system_info.h"

namespace ruzir::win32 {
namespace {

// Held for the life of the process: its existence answers "is another copy
// running" for every copy in this session.
constexpr wchar_t kSingleCopyMutexName[] = L"Local\\Ruzir.ScreenSaver.Running";
// Held around the single-copy rule, from the question "is another copy
// running" to setting the run flag, so that copies started at the same
// instant take their turns and only the first one runs.
constexpr wchar_t kStartupMutexName[] = L"Local\\Ruzir.ScreenSaver.Startup";
// A copy that holds the rule this long has hung; the others go on without it.
constexpr DWORD kStartupWaitMs = 10000;

std::uint32_t ClockSeed() {
  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  const auto ticks = static_cast<std::uint64_t>(counter.QuadPart) ^ ::GetTickCount64();
  return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

// Loads the settings or, failing that, reports it; the caller then ends.
std::optional<LoadedSettings> LoadOrReport(KeyStore& store, UniformSource& random) {
  LoadedSettings loaded;
  if (!LoadSettings(store, FolderOfModule(ModulePath()), random, loaded)) {
    ShowWarning(kLoadFailedText);
    return std::nullopt;
  }
  return loaded;
}

HWND AsWindow(std::uint64_t handle) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}

// What the system tells of a window named on the command line.
WindowFacts InspectWindowHandle(std::uint64_t handle) {
  const HWND window = AsWindow(handle);
  WindowFacts facts;
  facts.isWindow = ::IsWindow(window) != FALSE;
  if (!facts.isWindow) return facts;
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  facts.isDesktop = window == ::GetDesktopWindow();
  facts.ofThisProcess = process == ::GetCurrentProcessId();
  facts.isVisible = ::IsWindowVisible(window) != FALSE;
  facts.isTopLevel = ::GetAncestor(window, GA_PARENT) == ::GetDesktopWindow();
  return facts;
}

int RunSettingsMode(HINSTANCE instance, KeyStore& store, const CommandLine& command) {
  Random random(ClockSeed());
  auto loaded = LoadOrReport(store, random);
  if (!loaded) return 1;
  // Started from the host's settings button, the dialog belongs to the host's
  // window: the host waits, disabled, beneath it, and cannot open another.
  const HWND owner = IsUsableDialogOwner(command.window, InspectWindowHandle)
                         ? AsWindow(*command.window)
                         : nullptr;
  SettingsDialog dialog(*loaded, store);
  dialog.Run(instance, owner);
  // However the dialog closed, the program no longer runs.
  if (!ClearRunFlag(store)) {
    ShowWarning(kLoadFailedText);
    return 1;
  }
  return 0;
}

int RunMessageLoop() {
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

// The show's end is the process's: the run flag is cleared, and the process
// ends at once, so no timer tick or queued input runs, without waiting for the
// read-ahead worker, which may be deep in a decode. ExitProcess stops the
// worker first, and the system ends the process rather than wait for a lock
// the stopped worker held; unlike terminating itself, which under Wine is only
// seen as ended once the kernel has torn the address space down, it lets the
// host see the end at once.
void EndShow(KeyStore& store, bool noPicture) {
  UINT exitCode = 0;
  if (noPicture) {
    ShowWarning(kImageListFailedText);
    exitCode = 1;
  }
  if (!ClearRunFlag(store)) {
    ShowWarning(kLoadFailedText);
    exitCode = 1;
  }
  ::ExitProcess(exitCode);
}

int RunShowMode(HINSTANCE instance, KeyStore& store, const CommandLine& command) {
  HWND pane = nullptr;
  if (command.mode == RunMode::Preview) {
    // The host gives its pane's handle; anything else is a request there is
    // nothing to show in.
    if (!IsUsablePreviewPane(command.window, InspectWindowHandle)) {
      ClearRunFlag(store);
      return 0;
    }
    pane = AsWindow(*command.window);
  }

  Random random(ClockSeed());
  auto loaded = LoadOrReport(store, random);
  if (!loaded) return 1;

  // Nothing to show: say so and end, with no window ever shown.
  const auto endWithoutPictures = [&] {
    ShowWarning(kImageListFailedText);
    ClearRunFlag(store);
    return 1;
  };
  // The formats the installed codecs decode, asked once for the whole show.
  std::vector<std::wstring> declared;
  if (const auto decoder = PictureDecoder::Create()) declared = decoder->DeclaredExtensions();
  FileSearch search;
  const ImageList images = BuildImageList(loaded->settings.Path, ImagePatterns(declared), search);
  if (images.Count() == 0) return endWithoutPictures();

  if (command.mode == RunMode::FullScreen) {
    ShowGroup group(*loaded, images, random, [&store](ShowGroup::End end) {
      EndShow(store, end == ShowGroup::End::NoPicture);
    });
    if (!group.Start(instance)) {
      ClearRunFlag(store);
      return 1;
    }
    return group.Run();
  }
  PreviewWindow preview(loaded->settings, pane, [&store] { EndShow(store, false); });
  switch (preview.Load(instance, images, random)) {
    case PreviewWindow::LoadResult::Loaded:
      break;
    case PreviewWindow::LoadResult::NoPicture:
      return endWithoutPictures();
    case PreviewWindow::LoadResult::Failed:
      ClearRunFlag(store);
      return 1;
  }
  if (loaded->settings.Desktop == 1) preview.TakeDesktopSnapshot();
  preview.ShowInPane();
  return RunMessageLoop();
}

int Run(HINSTANCE instance) {
  const com_apartment apartment;  // for the picture codecs and the shell's dialogs
  RegistryKeyStore store{std::wstring(kRegistryBase)};
  unique_handle singleCopy;
  const StartupPlan plan = [&] {
    const unique_handle startup(::CreateMutexW(nullptr, FALSE, kStartupMutexName));
    unique_mutex_hold turn;
    // An abandoned hold (a copy that died holding it) is a turn like any other.
    if (startup) {
      const DWORD waited = ::WaitForSingleObject(startup.get(), kStartupWaitMs);
      if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) turn.reset(startup.get());
    }
    singleCopy.reset(::CreateMutexW(nullptr, FALSE, kSingleCopyMutexName));
    const bool anotherCopyRunning = ::GetLastError() == ERROR_ALREADY_EXISTS;
    return PlanStartup(store, anotherCopyRunning, ArgumentText(::GetCommandLineW()));
  }();
  switch (plan.outcome) {
    case StartupOutcome::EndSilently:
      return 0;
    case StartupOutcome::EndWithLoadFailure:
      ShowWarning(kLoadFailedText);
      return 1;
    case StartupOutcome::Run:
      break;
  }
  if (plan.command.mode == RunMode::Settings) return RunSettingsMode(instance, store, plan.command);
  return RunShowMode(instance, store, plan.command);
}

}  // namespace
}  // namespace ruzir::win32

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // A .scr is often started from a folder of downloads: load system DLLs
  // from System32 only, never from the current or the program's folder.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  try {
    return ruzir::win32::Run(instance);
  } catch (...) {
    return 1;  // out of memory before any window: nothing sensible to show
  }
}
