#include "eudc/journal.h"

#include <algorithm>
#include <cstring>

namespace tavrel {
namespace {

constexpr std::uint8_t kMagic[4] = {'T', 'V', 'J', '3'};
// The records of older Tavrels, read, never written: with the writer but
// without the code page, and without either. Both changed EUDC\932.
constexpr std::uint8_t kMagicWithoutCodePage[4] = {'T', 'V', 'J', '2'};
constexpr std::uint8_t kMagicWithoutWriter[4] = {'T', 'V', 'J', '1'};
constexpr std::uint32_t kKeyExistedFlag = 0x1;
// Older records leave it clear: their font value was taken as found.
constexpr std::uint32_t kFontValueAddedFlag = 0x2;

// FNV-1a over the record: enough to tell a damaged record from a good one.
std::uint32_t Checksum(const std::uint8_t* data, size_t size) {
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
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void U64(std::uint64_t v) {
    U32(static_cast<std::uint32_t>(v));
    U32(static_cast<std::uint32_t>(v >> 32));
  }
  void Text(std::u16string_view text) {
    U32(static_cast<std::uint32_t>(text.size()));
    for (char16_t c : text) {
      out_.push_back(static_cast<std::uint8_t>(c & 0xFF));
      out_.push_back(static_cast<std::uint8_t>(c >> 8));
    }
  }
  void Bytes(const std::vector<std::uint8_t>& bytes) {
    U32(static_cast<std::uint32_t>(bytes.size()));
    out_.insert(out_.end(), bytes.begin(), bytes.end());
  }
  void Raw(const std::uint8_t* bytes, size_t size) { out_.insert(out_.end(), bytes, bytes + size); }
  std::vector<std::uint8_t> Sealed() {
    U32(Checksum(out_.data(), out_.size()));
    return std::move(out_);
  }

 private:
  std::vector<std::uint8_t> out_;
};

// Reads within the bounds of the record; any read past its end fails it.
class Reader {
 public:
  Reader(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}
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
  bool Bytes(std::vector<std::uint8_t>& bytes) {
    std::uint32_t size = 0;
    if (!U32(size) || size_ - at_ < size) return false;
    bytes.assign(data_ + at_, data_ + at_ + size);
    at_ += size;
    return true;
  }
  bool Magic(const std::uint8_t (&magic)[4]) {
    if (size_ - at_ < sizeof magic || std::memcmp(data_ + at_, magic, sizeof magic) != 0) {
      return false;
    }
    at_ += sizeof magic;
    return true;
  }
  bool AtEnd() const { return at_ == size_; }

 private:
  const std::uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace

std::vector<std::uint8_t> SerializeJournal(const JournalRecord& record) {
  Writer w;
  w.Raw(kMagic, sizeof kMagic);
  w.U32(record.writer.process.processId);
  w.U64(record.writer.process.creationTime);
  w.U32(record.writer.session);
  w.U32(record.codePage);
  w.U32((record.keyExisted ? kKeyExistedFlag : 0) | (record.fontValueAdded ? kFontValueAddedFlag : 0));
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

std::optional<JournalRecord> ParseJournal(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 4) return std::nullopt;
  const size_t body = bytes.size() - 4;
  Reader sum(bytes.data() + body, 4);
  std::uint32_t stored = 0;
  if (!sum.U32(stored) || stored != Checksum(bytes.data(), body)) return std::nullopt;

  Reader r(bytes.data(), body);
  JournalRecord record;
  std::uint32_t flags = 0, count = 0;
  const bool withCodePage = r.Magic(kMagic);
  if (withCodePage || r.Magic(kMagicWithoutCodePage)) {
    std::uint32_t id = 0;
    if (!r.U32(id) || !r.U64(record.writer.process.creationTime) || !r.U32(record.writer.session)) {
      return std::nullopt;
    }
    record.writer.process.processId = id;
    if (withCodePage && !r.U32(record.codePage)) return std::nullopt;
  } else if (!r.Magic(kMagicWithoutWriter)) {
    return std::nullopt;
  }
  if (!r.U32(flags) || !r.Text(record.writtenPath) || !r.U32(count)) {
    return std::nullopt;
  }
  record.keyExisted = (flags & kKeyExistedFlag) != 0;
  record.fontValueAdded = (flags & kFontValueAddedFlag) != 0;
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

JournalStatus Journal::Rewrite(JournalRecord changed, bool flush) {
  JournalStatus status = store_.Write(SerializeJournal(changed));
  if (status.ok() && flush) status = store_.Flush();
  if (status.ok()) record_ = std::move(changed);
  return status;
}

JournalStatus Journal::Begin(const JournalRecord& record) {
  if (!owned_) {
    const JournalReading stored = Read();
    const bool mine = stored.state == JournalState::Read && stored.record.writer == writer_;
    if (stored.state != JournalState::Absent && !mine) return JournalStatus{kAlreadyExists, kJournalKeyShown};
  }
  JournalRecord mine = record;
  mine.writer = writer_;
  JournalStatus status = store_.Write(SerializeJournal(mine));
  if (status.ok()) status = store_.SetLogonCommand(restoreCommand_);
  // One flush writes the whole hive: the RunOnce value with the record.
  if (status.ok()) status = store_.Flush();
  if (!status.ok()) {
    // A journal that is not durable is no promise. Should its removal fail
    // too, the record left holds the key as it is now, unchanged, so a later
    // recovery from it puts back exactly what is there.
    (void)store_.Remove();
    return status;
  }
  record_ = std::move(mine);
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
  // Not flushed: a power cut ends the program too.
  return Rewrite(std::move(changed), false);
}

JournalStatus Journal::Remove() {
  if (const JournalReading stored = Read();
      stored.state == JournalState::Read && stored.record.writer != record_.writer) {
    owned_ = false;
    record_ = {};
    return {};
  }
  const JournalStatus status = store_.Remove();
  if (status.ok()) {
    owned_ = false;
    record_ = {};
  }
  return status;
}

JournalStatus Journal::EnsureRunOnce() { return store_.SetLogonCommand(restoreCommand_); }

JournalReading Journal::Read() const {
  JournalReading reading;
  StoredRecord stored = store_.Read();
  if (stored.outcome == StoredRecord::Outcome::Absent) return reading;
  reading.state = JournalState::Unreadable;
  reading.error = stored.error;
  if (stored.outcome == StoredRecord::Outcome::Unreadable) return reading;
  if (std::optional<JournalRecord> record = ParseJournal(stored.bytes)) {
    reading.state = JournalState::Read;
    reading.record = std::move(*record);
  }
  return reading;
}

JournalStatus Journal::Adopt(const JournalRecord& record) {
  record_ = record;
  owned_ = true;
  JournalRecord mine = record;
  mine.writer = writer_;
  return Rewrite(std::move(mine), true);
}

}  // namespace tavrel
