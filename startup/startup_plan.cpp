#include "startup/startup_plan.h"

#include "settings/settings.h"

namespace ruzir {

StartupPlan PlanStartup(KeyStore& store, bool anotherCopyRunning, std::wstring_view argumentText) {
  const auto flag = ReadRunFlag(store);
  if (!flag) return {StartupOutcome::EndWithLoadFailure, {}};
  if (anotherCopyRunning && *flag != 0) return {StartupOutcome::EndSilently, {}};
  if (!SetRunFlag(store)) return {StartupOutcome::EndWithLoadFailure, {}};
  return {StartupOutcome::Run, ParseCommandLine(argumentText)};
}

namespace {

// A window of another program's, and not the desktop.
bool IsForeignWindow(const WindowFacts& facts) {
  return facts.isWindow && !facts.isDesktop && !facts.ofThisProcess;
}

}  // namespace

bool IsUsablePreviewPane(std::optional<std::uint64_t> handle, const InspectWindow& inspect) {
  return handle && *handle != 0 && IsForeignWindow(inspect(*handle));
}

bool IsUsableDialogOwner(std::optional<std::uint64_t> handle, const InspectWindow& inspect) {
  if (!handle || *handle == 0) return false;
  const WindowFacts facts = inspect(*handle);
  return IsForeignWindow(facts) && facts.isVisible && facts.isTopLevel;
}

}  // namespace ruzir
