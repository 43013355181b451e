// What a restore writes: for each value of the EUDC key, what it was before
// the run (the journal), what Tavrel wrote to it, and what it holds now.
//  - A value that still holds what Tavrel wrote gets its original back.
//  - A value already at its original is left alone.
//  - A value someone else changed, added or removed during the run is left
//    as they set it, and named.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "eudc/eudc_key.h"
#include "eudc/journal.h"

namespace tavrel {

// A value someone else changed, added or removed during the run.
struct KeptValue {
  std::u16string name;
  std::optional<RawValue> now;  // nothing: removed
  bool operator==(const KeptValue&) const = default;
};

struct RestorePlan {
  std::vector<RawValue> putBack;  // recorded values to write back, in the record's order
  std::vector<KeptValue> kept;    // left as they are now
};

// Whether a recorded value holds what the switch wrote to it: the empty
// text, and for the font value the file the journal names (the switch
// empties it first, so a copy that ended in between left the empty text).
// Text compares as Windows reads it: a missing closing NUL is none, and a
// path's letter case does not count.
bool HoldsWhatTavrelWrote(const RawValue& now, const JournalRecord& record);

// The plan for `record` against the key as it is `now`. When the key cannot
// be read, nothing says a value changed: every recorded value goes back.
RestorePlan PlanRestore(const JournalRecord& record, const KeyReading& now);

}  // namespace tavrel
