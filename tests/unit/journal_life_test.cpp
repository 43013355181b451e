// The journal through a whole launch: on disk before the first change of
// HKCU\EUDC\932, the program added once it runs, a launch inside another's
// wait under the same record, and removed after the restore — and, with a
// fault at any registry or file call, nothing of the user's settings lost
// and no failure kept from the user.
#include <gtest/gtest.h>

#include "eudc/journal.h"
#include "fakes/form_rig.h"
#include "platform/text.h"

namespace tavrel::fakes {
namespace {

constexpr const char* kUserFont = "C:\\Apps\\Viewer\\mine.tte";
constexpr const char* kRestoreCommand = "\"C:\\Apps\\Viewer\\Tavrel.exe\" /restore";

std::vector<RawValue> AsRawValues(const std::vector<FakeRegistry::Value>& values) {
  std::vector<RawValue> out;
  for (const auto& v : values) out.push_back(RawValue{v.name, v.type, v.data});
  return out;
}

JournalRecord ReadJournal(FakeRegistry& registry) {
  const JournalReading reading = Journal(registry).Read();
  EXPECT_EQ(reading.state, JournalState::Read);
  return reading.record;
}

void Prepare(FormRig& rig) {
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"mine.tte", "viewer.exe"});
  rig.registry.SetText(kEudc, kSystemFont, "%SystemRoot%\\EUDC.TTE", kRegExpandSz);
  rig.registry.SetText(kEudc, "ＭＳ 明朝", "C:\\m.tte");
  rig.registry.SetRaw(kEudc, "Count", kRegDword, {5, 0, 0, 0});
  rig.Start();
}

// What was on disk when HKCU\EUDC\932 was about to change for the first time.
struct FirstChange {
  bool seen = false;
  std::optional<JournalRecord> journal;
  std::optional<std::string> runOnce;
};

void Watch(FormRig& rig, FirstChange& first) {
  rig.registry.beforeChange = [&rig, &first](const std::string& keyPath) {
    if (keyPath != kEudc || first.seen) return;
    first.seen = true;
    if (const auto record = rig.registry.GetDurable(kJournal, "Record")) {
      first.journal = ParseJournal(record->data);
    }
    if (const auto command = rig.registry.GetDurable(kRunOnce, "Tavrel")) {
      first.runOnce = Utf16ToUtf8(*TextOf(RawValue{u"Tavrel", command->type, command->data}));
    }
  };
}

TEST(JournalLife, IsOnDiskBeforeTheFirstChangeHoldsTheProgramAndGoesAfterTheRestore) {
  FormRig rig;
  Prepare(rig);
  const auto before = rig.Key();
  FirstChange first;
  Watch(rig, first);
  bool checked = false;
  rig.processes.Queue([&] {
    const JournalRecord record = ReadJournal(rig.registry);
    EXPECT_EQ(record.programs,
              (std::vector<ProcessIdentity>{rig.processes.Started().back()->Identity()}));
    EXPECT_EQ(record.values, AsRawValues(before));
    checked = true;
  });
  // The restore happens with the journal still there; it goes afterwards.
  bool journalDuringRestore = true;
  rig.session.onEnableEudc = [&](BOOL enable) {
    if (!enable && !rig.processes.Started().empty() && !rig.processes.Started().back()->running) {
      journalDuringRestore = rig.JournalThere();
    }
  };
  rig.form.cmdExecSoft_Click();

  ASSERT_TRUE(first.seen);
  ASSERT_TRUE(first.journal);
  EXPECT_EQ(first.journal->values, AsRawValues(before));
  EXPECT_EQ(first.journal->writtenPath, Utf8ToUtf16(kUserFont));
  EXPECT_TRUE(first.journal->keyExisted);
  EXPECT_TRUE(first.journal->programs.empty());
  EXPECT_EQ(first.runOnce, kRestoreCommand);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(journalDuringRestore);
  EXPECT_EQ(rig.Key(), before);
  EXPECT_FALSE(rig.JournalThere());
  EXPECT_EQ(rig.RunOnce(), std::nullopt);
}

TEST(JournalLife, ALaunchInsideAnothersWaitJoinsTheSameRecord) {
  FormRig rig;
  Prepare(rig);
  const auto before = rig.Key();
  rig.files.AddFont("D:\\도구\\second.tte");
  rig.processes.Queue([&] {
    rig.form.Label1_OLEDragDrop(1, DropData{1, "D:\\도구\\second.tte"});
    rig.processes.Queue([&] {
      const JournalRecord record = ReadJournal(rig.registry);
      ASSERT_EQ(record.programs.size(), 2u);
      EXPECT_EQ(record.programs[0], rig.processes.Started()[0]->Identity());
      EXPECT_EQ(record.programs[1], rig.processes.Started()[1]->Identity());
      EXPECT_EQ(record.values, AsRawValues(before));  // the record from before the first switch
      EXPECT_EQ(record.writtenPath, u"D:\\도구\\second.tte");
    });
    rig.form.cmdExecSoft_Click();
    EXPECT_TRUE(rig.JournalThere());  // the outer program still runs
  });
  rig.form.cmdExecSoft_Click();
  EXPECT_EQ(rig.processes.Started().size(), 2u);
  EXPECT_EQ(rig.Key(), before);
  EXPECT_FALSE(rig.JournalThere());
}

enum class Layer { Registry, Files };

struct FaultRun {
  Layer layer;
  size_t call;
  DWORD error;
};

// One registry or file call of a whole launch (the check of the font, the
// journal, the switch, the program's start and identity, the restore, the
// journal's removal) fails, each in turn. Whatever failed:
//  - the key did not change before the journal was on disk;
//  - the user was told whenever the program did not run with the font, or
//    the settings are not back;
//  - the settings are back at once, or the next start puts them back;
//  - no handle is left open.
TEST(JournalLife, AFaultAtAnyRegistryOrFileCallLosesNothingAndIsNeverSilent) {
  size_t registryCalls = 0, fileCalls = 0;
  {
    FormRig rig;
    Prepare(rig);
    const size_t r0 = rig.registry.CallCount(), f0 = rig.files.CallCount();
    rig.form.cmdExecSoft_Click();
    registryCalls = rig.registry.CallCount() - r0;
    fileCalls = rig.files.CallCount() - f0;
  }
  ASSERT_GT(registryCalls, 20u);
  ASSERT_GE(fileCalls, 2u);
  std::vector<FaultRun> runs;
  for (const DWORD error : {kErrorAccessDenied, kErrorIoDevice}) {
    for (size_t k = 0; k < registryCalls; ++k) runs.push_back({Layer::Registry, k, error});
    for (size_t k = 0; k < fileCalls; ++k) runs.push_back({Layer::Files, k, error});
  }
  for (const FaultRun& run : runs) {
    SCOPED_TRACE((run.layer == Layer::Registry ? "registry call " : "file call ") +
                 std::to_string(run.call) + ", error " + std::to_string(run.error));
    FormRig rig;
    Prepare(rig);
    const auto before = rig.Key();
    FirstChange first;
    Watch(rig, first);
    if (run.layer == Layer::Registry) {
      rig.registry.InjectFault(rig.registry.CallCount() + run.call, run.error);
    } else {
      rig.files.InjectFault(rig.files.CallCount() + run.call, run.error);
    }
    std::optional<std::string> fontWhileRunning;
    rig.processes.Queue([&] { fontWhileRunning = rig.SystemFont(); });
    rig.form.cmdExecSoft_Click();
    const bool ranWithTheFont = fontWhileRunning == kUserFont;
    const bool back = rig.Key() == before;
    const bool told = !rig.Boxes().empty();

    if (first.seen) {
      ASSERT_TRUE(first.journal) << "HKCU\\EUDC\\932 changed before the journal was on disk";
      EXPECT_EQ(first.journal->values, AsRawValues(before));
      EXPECT_EQ(first.runOnce, kRestoreCommand);
    }
    if (!ranWithTheFont || !back) {
      EXPECT_TRUE(told);
    }
    EXPECT_EQ(rig.registry.OpenHandleCount(), 0u);
    EXPECT_EQ(rig.files.OpenFileCount(), 0u);
    EXPECT_EQ(rig.processes.OpenHandleCount(), 0u);
    if (!back) {
      EXPECT_TRUE(rig.JournalThere());
    }
    if (back && !rig.JournalThere()) continue;

    // Tavrel is started again (the fault is gone): the key comes back and
    // the journal goes.
    rig.registry.ClearFaults();
    rig.files.ClearFaults();
    NextStart next(rig);
    next.Start();
    EXPECT_EQ(rig.Key(), before);
    EXPECT_FALSE(rig.JournalThere());
    EXPECT_EQ(rig.RunOnce(), std::nullopt);
  }
}

}  // namespace
}  // namespace tavrel::fakes
