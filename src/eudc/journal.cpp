#include "eudc/journal.h"

#include <algorithm>
#include <span>

#include "base/bytes.h"

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

}  // namespace

std::vector<std::uint8_t> SerializeJournal(const JournalRecord& record) {
  ByteWriter w;
  w.Raw(kMagic);
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
  w.U32(Checksum(w.bytes().data(), w.bytes().size()));
  return w.Take();
}

std::optional<JournalRecord> ParseJournal(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 4) return std::nullopt;
  const size_t body = bytes.size() - 4;
  ByteReader sum{std::span<const std::uint8_t>(bytes).subspan(body)};
  std::uint32_t stored = 0;
  if (!sum.U32(stored) || stored != Checksum(bytes.data(), body)) return std::nullopt;

  ByteReader r{std::span<const std::uint8_t>(bytes).first(body)};
  JournalRecord record;
  std::uint32_t flags = 0, count = 0;
  const bool withCodePage = r.Expect(kMagic);
  if (withCodePage || r.Expect(kMagicWithoutCodePage)) {
    std::uint32_t id = 0;
    if (!r.U32(id) || !r.U64(record.writer.process.creationTime) || !r.U32(record.writer.session)) {
      return std::nullopt;
    }
    record.writer.process.processId = id;
    if (withCodePage && !r.U32(record.codePage)) return std::nullopt;
  } else if (!r.Expect(kMagicWithoutWriter)) {
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
