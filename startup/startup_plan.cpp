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

bool IsUsablePreviewPane(std::optional<std::uint64_t> handle,
                         const std::function<PaneFacts(std::uint64_t)>& inspect) {
  if (!handle || *handle == 0) return false;
  const PaneFacts facts = inspect(*handle);
  return facts.isWindow && !facts.isDesktop && !facts.ofThisProcess;
}

}  // namespace ruzir
