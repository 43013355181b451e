#include "eudc/journal.h"

#include <algorithm>
#include <cstring>

namespace tavrel {
namespace {

constexpr char16_t kRecordValue[] = u"Record";
constexpr BYTE kMagic[4] = {'T', 'V', 'J', '1'};
constexpr std::uint32_t kKeyExistedFlag = 0x1;
// The data of a value read back may grow between sizing and reading it.
constexpr int kReadAttempts = 3;

// FNV-1a over the record: enough to tell a damaged record from a good one.
std::uint32_t Checksum(const BYTE* data, size_t size) {
  std::uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) {
    hash ^= data[i];
    hash *= 16777619u;
  }
  return hash;
}

class Writer {
 public:
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<BYTE>(v >> (8 * i)));
  }
  void U64(std::uint64_t v) {
    U32(static_cast<std::uint32_t>(v));
    U32(static_cast<std::uint32_t>(v >> 32));
  }
  void Text(std::u16string_view text) {
    U32(static_cast<std::uint32_t>(text.size()));
    for (char16_t c : text) {
      out_.push_back(static_cast<BYTE>(c & 0xFF));
      out_.push_back(static_cast<BYTE>(c >> 8));
    }
  }
  void Bytes(const std::vector<BYTE>& bytes) {
    U32(static_cast<std::uint32_t>(bytes.size()));
    out_.insert(out_.end(), bytes.begin(), bytes.end());
  }
  void Raw(const BYTE* bytes, size_t size) { out_.insert(out_.end(), bytes, bytes + size); }
  std::vector<BYTE> Sealed() {
    U32(Checksum(out_.data(), out_.size()));
    return std::move(out_);
  }

 private:
  std::vector<BYTE> out_;
};

// Reads within the bounds of the record; any read past its end fails it.
class Reader {
 public:
  Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}
  bool U32(std::uint32_t& v) {
    if (size_ - at_ < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(data_[at_ + i]) << (8 * i);
    at_ += 4;
    return true;
  }
  bool U64(std::uint64_t& v) {
    std::uint32_t low = 0, high = 0;
    if (!U32(low) || !U32(high)) return false;
    v = (static_cast<std::uint64_t>(high) << 32) | low;
    return true;
  }
  bool Text(std::u16string& text) {
    std::uint32_t length = 0;
    if (!U32(length) || (size_ - at_) / 2 < length) return false;
    text.resize(length);
    for (std::uint32_t i = 0; i < length; ++i, at_ += 2) {
      text[i] = static_cast<char16_t>(data_[at_] | (data_[at_ + 1] << 8));
    }
    return true;
  }
  bool Bytes(std::vector<BYTE>& bytes) {
    std::uint32_t size = 0;
    if (!U32(size) || size_ - at_ < size) return false;
    bytes.assign(data_ + at_, data_ + at_ + size);
    at_ += size;
    return true;
  }
  bool Magic() {
    if (size_ - at_ < sizeof kMagic || std::memcmp(data_ + at_, kMagic, sizeof kMagic) != 0) {
      return false;
    }
    at_ += sizeof kMagic;
    return true;
  }
  bool AtEnd() const { return at_ == size_; }

 private:
  const BYTE* data_;
  size_t size_;
  size_t at_ = 0;
};

std::u16string HkcuPath(std::u16string_view path) {
  return u"HKEY_CURRENT_USER\\" + std::u16string(path);
}

}  // namespace

std::vector<BYTE> SerializeJournal(const JournalRecord& record) {
  Writer w;
  w.Raw(kMagic, sizeof kMagic);
  w.U32(record.keyExisted ? kKeyExistedFlag : 0);
  w.Text(record.writtenPath);
  w.U32(static_cast<std::uint32_t>(record.values.size()));
  for (const RawValue& value : record.values) {
    w.Text(value.name);
    w.U32(value.type);
    w.Bytes(value.data);
  }
  w.U32(static_cast<std::uint32_t>(record.programs.size()));
  for (const ProcessIdentity& program : record.programs) {
    w.U32(program.processId);
    w.U64(program.creationTime);
  }
  return w.Sealed();
}

std::optional<JournalRecord> ParseJournal(const std::vector<BYTE>& bytes) {
  if (bytes.size() < 4) return std::nullopt;
  const size_t body = bytes.size() - 4;
  Reader sum(bytes.data() + body, 4);
  std::uint32_t stored = 0;
  if (!sum.U32(stored) || stored != Checksum(bytes.data(), body)) return std::nullopt;

  Reader r(bytes.data(), body);
  JournalRecord record;
  std::uint32_t flags = 0, count = 0;
  if (!r.Magic() || !r.U32(flags) || !r.Text(record.writtenPath) || !r.U32(count)) {
    return std::nullopt;
  }
  record.keyExisted = (flags & kKeyExistedFlag) != 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    RawValue value;
    std::uint32_t type = 0;
    if (!r.Text(value.name) || !r.U32(type) || !r.Bytes(value.data)) return std::nullopt;
    value.type = type;
    record.values.push_back(std::move(value));
  }
  if (!r.U32(count)) return std::nullopt;
  for (std::uint32_t i = 0; i < count; ++i) {
    ProcessIdentity program;
    std::uint32_t id = 0;
    if (!r.U32(id) || !r.U64(program.creationTime)) return std::nullopt;
    program.processId = id;
    record.programs.push_back(program);
  }
  if (!r.AtEnd()) return std::nullopt;
  return record;
}

JournalStatus Journal::WriteRecord(const JournalRecord& record, UniqueRegKey& key) {
  LSTATUS status = registry_.RegCreateKeyExW(registry_.CurrentUser(), kJournalKey, kKeySetValue,
                                             key.put(), nullptr);
  if (status == kErrorSuccess) {
    const std::vector<BYTE> bytes = SerializeJournal(record);
    status = registry_.RegSetValueExW(key.get(), kRecordValue, kRegBinary, bytes.data(),
                                      static_cast<DWORD>(bytes.size()));
  }
  if (status == kErrorSuccess) return {};
  return JournalStatus{status, HkcuPath(kJournalKey)};
}

JournalStatus Journal::Rewrite(JournalRecord changed, bool flush) {
  UniqueRegKey key = MakeRegKey(registry_);
  JournalStatus status = WriteRecord(changed, key);
  if (status.ok() && flush) {
    const LSTATUS flushed = registry_.RegFlushKey(key.get());
    if (flushed != kErrorSuccess) status = JournalStatus{flushed, HkcuPath(kJournalKey)};
  }
  if (status.ok()) record_ = std::move(changed);
  return status;
}

JournalStatus Journal::WriteRunOnce() {
  UniqueRegKey key = MakeRegKey(registry_);
  LSTATUS status = registry_.RegCreateKeyExW(registry_.CurrentUser(), kRunOnceKey, kKeySetValue,
                                             key.put(), nullptr);
  if (status == kErrorSuccess) {
    const RawValue value = TextValue(kRunOnceValue, restoreCommand_);
    status = registry_.RegSetValueExW(key.get(), kRunOnceValue, kRegSz, value.data.data(),
                                      static_cast<DWORD>(value.data.size()));
  }
  if (status == kErrorSuccess) return {};
  return JournalStatus{status, HkcuPath(kRunOnceKey) + u"\\" + kRunOnceValue};
}

JournalStatus Journal::Begin(const JournalRecord& record) {
  if (!owned_ && Read().state != JournalState::Absent) {
    return JournalStatus{kErrorAlreadyExists, HkcuPath(kJournalKey)};
  }
  UniqueRegKey key = MakeRegKey(registry_);
  JournalStatus status = WriteRecord(record, key);
  if (status.ok()) status = WriteRunOnce();
  if (status.ok()) {
    // One flush writes the whole hive: the RunOnce value with the record.
    const LSTATUS flushed = registry_.RegFlushKey(key.get());
    if (flushed != kErrorSuccess) status = JournalStatus{flushed, HkcuPath(kJournalKey)};
  }
  key.reset();
  if (!status.ok()) {
    Remove();  // best effort: a journal that is not durable is no promise
    return status;
  }
  record_ = record;
  owned_ = true;
  return status;
}

JournalStatus Journal::SetWrittenPath(std::u16string_view path) {
  JournalRecord changed = record_;
  changed.writtenPath = std::u16string(path);
  return Rewrite(std::move(changed), true);
}

JournalStatus Journal::AddProgram(const ProcessIdentity& program) {
  JournalRecord changed = record_;
  changed.programs.push_back(program);
  return Rewrite(std::move(changed), false);
}

JournalStatus Journal::Remove() {
  const LSTATUS tree = registry_.RegDeleteTreeW(registry_.CurrentUser(), kJournalKey);
  if (tree != kErrorSuccess && tree != kErrorFileNotFound) {
    return JournalStatus{tree, HkcuPath(kJournalKey)};
  }
  UniqueRegKey key = MakeRegKey(registry_);
  LSTATUS status = registry_.RegOpenKeyExW(registry_.CurrentUser(), kRunOnceKey, 0, kKeySetValue,
                                           key.put());
  if (status == kErrorSuccess) status = registry_.RegDeleteValueW(key.get(), kRunOnceValue);
  if (status != kErrorSuccess && status != kErrorFileNotFound) {
    return JournalStatus{status, HkcuPath(kRunOnceKey) + u"\\" + kRunOnceValue};
  }
  owned_ = false;
  record_ = {};
  return {};
}

JournalStatus Journal::EnsureRunOnce() { return WriteRunOnce(); }

JournalReading Journal::Read() const {
  JournalReading reading;
  UniqueRegKey key = MakeRegKey(registry_);
  LSTATUS status = registry_.RegOpenKeyExW(registry_.CurrentUser(), kJournalKey, 0,
                                           kKeyQueryValue, key.put());
  if (status == kErrorFileNotFound) return reading;
  std::vector<BYTE> bytes;
  bool got = false;
  DWORD type = kRegNone;
  for (int attempt = 0; status == kErrorSuccess && !got && attempt < kReadAttempts; ++attempt) {
    DWORD size = 0;
    status = registry_.RegQueryValueExW(key.get(), kRecordValue, &type, nullptr, &size);
    if (status != kErrorSuccess) break;
    // Never an empty buffer: a null data pointer only asks for the size.
    bytes.assign(std::max<DWORD>(size, 1), 0);
    status = registry_.RegQueryValueExW(key.get(), kRecordValue, &type, bytes.data(), &size);
    if (status == kErrorSuccess) {
      bytes.resize(size);
      got = true;
    } else if (status == kErrorMoreData) {
      status = kErrorSuccess;  // it grew since it was sized: size it again
    }
  }
  if (status == kErrorSuccess && !got) status = kErrorMoreData;
  // A key without a record holds nothing to put back: its writer failed before
  // the first change of EUDC\932.
  if (status == kErrorFileNotFound) return reading;
  reading.state = JournalState::Unreadable;
  if (status != kErrorSuccess) {
    reading.error = status;
    return reading;
  }
  if (std::optional<JournalRecord> record = type == kRegBinary ? ParseJournal(bytes) : std::nullopt) {
    reading.state = JournalState::Read;
    reading.record = std::move(*record);
  }
  return reading;
}

void Journal::Adopt(const JournalRecord& record) {
  record_ = record;
  owned_ = true;
}

}  // namespace tavrel
