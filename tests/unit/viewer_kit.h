// Tavrel beside viewer.exe and mine.tte in C:\Apps\Viewer, with two values in
// HKCU\EUDC\932, and seams laid over the rig's fakes: the key and the journal
// store count their calls and fail the one a test names, and the desktop lets
// a test act while a box is up.
#pragma once

#include <functional>
#include <limits>

#include "base/text.h"
#include "eudc/journal.h"
#include "fakes/run_rig.h"

namespace tavrel::fakes {

inline constexpr char kFolder[] = "C:\\Apps\\Viewer";
inline constexpr char kProgram[] = "C:\\Apps\\Viewer\\viewer.exe";
inline constexpr char16_t kFont[] = u"C:\\Apps\\Viewer\\mine.tte";
inline constexpr char16_t kFace[] = u"ＭＳ 明朝";
inline constexpr char16_t kRestoreCommand[] = u"\"C:\\Apps\\Viewer\\Tavrel.exe\" /restore";
inline constexpr ErrorCode kIoDevice = 1117;

inline std::vector<RawValue> ViewerKey() {
  return {TextValue(kSystemDefaultEudcFont, u"C:\\WINDOWS\\EUDC.TTE"), TextValue(kFace, u"C:\\m.tte")};
}

// The folder, the key and the system's texts; the run is not started.
inline void Viewer(RunRig& rig) {
  rig.Folder(kFolder, {"viewer.exe", "mine.tte"});
  rig.key.values = ViewerKey();
  rig.desktop.errorTexts = {{2, "指定されたファイルが見つかりません。"},
                            {3, "指定されたパスが見つかりません。"},
                            {5, "アクセスが拒否されました。"},
                            {kIoDevice, "I/O デバイス エラーです。"}};
}

inline std::optional<JournalRecord> Journalled(const RunRig& rig) {
  return rig.store.record ? ParseJournal(*rig.store.record) : std::nullopt;
}

// This copy, as its journal names it.
inline JournalWriter Writer(const RunRig& rig) { return {rig.launcher.self, rig.desktop.session}; }

inline std::vector<Box> Boxes(const RunRig& rig) {
  std::vector<Box> boxes;
  for (const FakeDesktop::Shown& shown : rig.desktop.shown) boxes.push_back(shown.box);
  return boxes;
}

struct CallFaults {
  std::size_t calls = 0;  // of the key and the store together
  std::size_t failing = std::numeric_limits<std::size_t>::max();
  bool Fails() { return calls++ == failing; }
};

class SpyKey final : public IEudcKey {
 public:
  SpyKey(IEudcKey& inner, CallFaults& faults) : inner_(inner), faults_(faults) {}
  std::function<void()> beforeWrite;

  KeyReading ReadAll() override {
    return faults_.Fails() ? KeyReading{KeyReading::Outcome::Failed, {}, kIoDevice} : inner_.ReadAll();
  }
  std::vector<WriteFailure> Write(std::span<const RawValue> values) override {
    if (beforeWrite) beforeWrite();
    if (!faults_.Fails()) return inner_.Write(values);
    std::vector<WriteFailure> failed;
    for (const RawValue& value : values) failed.push_back({value.name, kIoDevice});
    return failed;
  }
  ErrorCode Flush() override { return faults_.Fails() ? kIoDevice : inner_.Flush(); }
  ErrorCode EnableEudc(bool on) override { return faults_.Fails() ? kIoDevice : inner_.EnableEudc(on); }
  std::optional<std::u16string> WindowsDirectory() override {
    return faults_.Fails() ? std::nullopt : inner_.WindowsDirectory();
  }

 private:
  IEudcKey& inner_;
  CallFaults& faults_;
};

class SpyStore final : public IJournalStore {
 public:
  SpyStore(IJournalStore& inner, CallFaults& faults) : inner_(inner), faults_(faults) {}
  StoredRecord Read() override {
    return Fails() ? StoredRecord{StoredRecord::Outcome::Unreadable, {}, kIoDevice} : inner_.Read();
  }
  StoreStatus Write(std::span<const std::uint8_t> bytes) override { return Fails() ? Failed() : inner_.Write(bytes); }
  StoreStatus SetLogonCommand(std::u16string_view line) override {
    return Fails() ? Failed() : inner_.SetLogonCommand(line);
  }
  StoreStatus Flush() override { return Fails() ? Failed() : inner_.Flush(); }
  StoreStatus Remove() override { return Fails() ? Failed() : inner_.Remove(); }

 private:
  bool Fails() { return faults_.Fails(); }
  static StoreStatus Failed() { return StoreStatus{kIoDevice, kJournalKeyShown}; }
  IJournalStore& inner_;
  CallFaults& faults_;
};

class SpyDesktop final : public IDesktop {
 public:
  explicit SpyDesktop(FakeDesktop& inner) : inner_(inner) {}
  std::function<void(const Box&)> whileShown;

  std::string ExecutablePath() override { return inner_.ExecutablePath(); }
  std::vector<std::string> Arguments() override { return inner_.Arguments(); }
  std::uint32_t Session() override { return inner_.Session(); }
  bool TakeInstanceLock() override { return inner_.TakeInstanceLock(); }
  void AnnounceGuardDecided() override { inner_.AnnounceGuardDecided(); }
  void AwaitGuardDecision() override { inner_.AwaitGuardDecision(); }
  bool AnotherCopyIsOpen() override { return inner_.AnotherCopyIsOpen(); }
  HandOverResult HandToRunningCopy(const tavrel::HandOver& handOver) override {
    return inner_.HandToRunningCopy(handOver);
  }
  void ReleaseInstanceLock() override { inner_.ReleaseInstanceLock(); }
  bool Show(WindowHandle owner, const Box& box) override {
    if (whileShown) whileShown(box);
    return inner_.Show(owner, box);
  }
  std::string ErrorText(ErrorCode error) override { return inner_.ErrorText(error); }

 private:
  FakeDesktop& inner_;
};

// Replaces the rig's run with one over the spies (after Folder, which makes a new run).
struct Spies {
  explicit Spies(RunRig& rig) : rig_(rig), key(rig.key, faults), store(rig.store, faults), desktop(rig.desktop) {
    rig.run = std::make_unique<Run>(Seams{key, store, rig.launcher, desktop, rig.files, rig.settings, rig.shortcuts},
                                    rig.view);
  }
  ~Spies() { rig_.run.reset(); }

  RunRig& rig_;
  CallFaults faults;
  SpyKey key;
  SpyStore store;
  SpyDesktop desktop;
};

}  // namespace tavrel::fakes
