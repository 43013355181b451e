#include "eudc/restore_plan.h"

#include "base/text.h"

namespace tavrel {
namespace {

bool SameData(const RawValue& a, const RawValue& b) { return a.type == b.type && a.data == b.data; }

bool IsFontValue(std::u16string_view name) { return EqualIgnoringCase(name, kSystemDefaultEudcFont); }

// The Windows default that stands in the record for a font value there was
// none of: absent now, it is as it was.
bool AddedForTheRecord(const RawValue& before, const JournalRecord& record) {
  return IsFontValue(before.name) && (record.fontValueAdded || !record.keyExisted);
}

}  // namespace

bool HoldsWhatTavrelWrote(const RawValue& now, const JournalRecord& record) {
  if (now.type != kRegSz) return false;
  const std::optional<std::u16string> text = TextOf(now);
  // TextOf ends the text at its first NUL, or at the end of data written without one.
  if (text && text->empty()) return true;
  return text && IsFontValue(now.name) && EqualIgnoringCase(*text, record.writtenPath);
}

RestorePlan PlanRestore(const JournalRecord& record, const KeyReading& now) {
  RestorePlan plan;
  if (now.outcome == KeyReading::Outcome::Failed) {
    plan.putBack = record.values;
    return plan;
  }
  for (const RawValue& before : record.values) {
    const RawValue* current = FindValue(now.values, before.name);
    if (!current) {
      if (!AddedForTheRecord(before, record)) plan.kept.push_back(KeptValue{before.name, std::nullopt});
    } else if (SameData(*current, before)) {
      continue;
    } else if (HoldsWhatTavrelWrote(*current, record)) {
      plan.putBack.push_back(before);
    } else {
      plan.kept.push_back(KeptValue{current->name, *current});
    }
  }
  for (const RawValue& current : now.values) {
    if (!FindValue(record.values, current.name)) plan.kept.push_back(KeptValue{current.name, current});
  }
  return plan;
}

}  // namespace tavrel
