#include "startup/startup_plan.h"

#include <gtest/gtest.h>

#include "memory_store.h"

namespace ruzir {
namespace {

using test::Bytes;
using test::MemoryKeyStore;

TEST(PlanStartup, SingleCopyRuleAndRunFlag) {
  struct Case {
    const char* name;
    bool anotherCopyRunning;
    std::optional<int> storedFlag;
    bool flagsFail;
    StartupOutcome outcome;
    std::optional<int> flagAfter;  // nullopt: never written
  };
  const Case cases[] = {
      {"first start", false, std::nullopt, false, StartupOutcome::Run, 1},
      {"stale flag alone does not block", false, 1, false, StartupOutcome::Run, 1},
      {"running copy alone does not block", true, 0, false, StartupOutcome::Run, 1},
      {"running copy without a flag value", true, std::nullopt, false, StartupOutcome::Run, 1},
      {"running copy with its flag set", true, 1, false, StartupOutcome::EndSilently, std::nullopt},
      {"any non-zero flag counts", true, -1, false, StartupOutcome::EndSilently, std::nullopt},
      {"flags cannot be opened", false, std::nullopt, true, StartupOutcome::EndWithLoadFailure,
       std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryKeyStore store;
    if (c.storedFlag) {
      store.Put(L"Flags", L"Active", Bytes({*c.storedFlag & 0xFF, (*c.storedFlag >> 8) & 0xFF}));
    }
    if (c.flagsFail) store.failingKeys = {L"Flags"};
    const StartupPlan plan = PlanStartup(store, c.anotherCopyRunning, L"/s");
    EXPECT_EQ(plan.outcome, c.outcome);
    if (c.flagAfter) {
      ASSERT_EQ(store.writeLog, std::vector<std::wstring>{L"Flags\\Active"});
      EXPECT_EQ(store.keys[L"Flags"][L"Active"].bytes, Bytes({*c.flagAfter, 0}));
    } else {
      EXPECT_TRUE(store.writeLog.empty());
    }
    EXPECT_EQ(store.keys.count(L"Settings"), 0u);  // settings are not touched here
  }
}

TEST(PlanStartup, ModeIsReadOnlyWhenTheProgramRuns) {
  MemoryKeyStore store;
  const StartupPlan preview = PlanStartup(store, false, L"/p:42");
  EXPECT_EQ(preview.command.mode, RunMode::Preview);
  EXPECT_EQ(preview.command.previewParent, 42u);

  MemoryKeyStore busy;
  busy.Put(L"Flags", L"Active", Bytes({1, 0}));
  EXPECT_EQ(PlanStartup(busy, true, L"/p:42").command.mode, RunMode::Settings);
}

TEST(IsUsablePreviewPane, RefusesWhatAPreviewCannotLiveIn) {
  struct Case {
    const char* name;
    std::optional<std::uint64_t> handle;
    PaneFacts facts;
    bool usable;
  };
  const Case cases[] = {
      {"the host's pane", 0x1234, {true, false, false}, true},
      {"no handle", std::nullopt, {true, false, false}, false},
      {"zero", 0, {true, false, false}, false},
      {"no window", 0x1234, {false, false, false}, false},
      {"the desktop", 0x10010, {true, true, false}, false},
      {"a window of this process", 0x1234, {true, false, true}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<std::uint64_t> asked;
    const bool usable = IsUsablePreviewPane(c.handle, [&](std::uint64_t handle) {
      asked = handle;
      return c.facts;
    });
    EXPECT_EQ(usable, c.usable);
    // The handle asked about is the one given; nothing is asked about none.
    EXPECT_EQ(asked, c.handle.value_or(0) != 0 ? c.handle : std::nullopt);
  }
}

}  // namespace
}  // namespace ruzir
