#include "eudc/restore_plan.h"

#include "base/text.h"

namespace tavrel {
namespace {

bool SameData(const RawValue& a, const RawValue& b) { return a.type == b.type && a.data == b.data; }

// What the switch wrote to a recorded value: the empty text, and for the
// font value the file the journal names (the switch empties it first, so a
// copy that ended in between left the empty text).
bool HoldsWhatTavrelWrote(const RawValue& now, const JournalRecord& record) {
  if (SameData(now, TextValue(now.name, u""))) return true;
  return EqualIgnoringCase(now.name, kSystemDefaultEudcFont) &&
         SameData(now, TextValue(now.name, record.writtenPath));
}

}  // namespace

RestorePlan PlanRestore(const JournalRecord& record, const KeyReading& now) {
  RestorePlan plan;
  if (now.outcome == KeyReading::Outcome::Failed) {
    plan.putBack = record.values;
    return plan;
  }
  for (const RawValue& before : record.values) {
    const RawValue* current = FindValue(now.values, before.name);
    if (!current) {
      plan.kept.push_back(KeptValue{before.name, std::nullopt});
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
