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

}  // namespace ruzir
