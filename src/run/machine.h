// The run's one transition: from a state and an input to the next state and
// the effects to carry out. It calls nothing below it, shows nothing and
// reads no clock; the runner (run.h) does what the effects say and feeds
// each result back as one more input.
//
//   input \ state    Opening  Idle                 Starting  Waiting                    PuttingBack
//   launch, /run     kept     switch, then start   kept      same font: start beside;   kept
//                                                            another: ask, Yes queues
//   hand-over        kept     take files, come     kept      files; with /run and a     kept
//                             forward, /run starts           program: as a launch
//   drop, check box  kept     take it              kept      take it                    kept
//   a launch's end   kept     -                    kept      last: put back, then the   kept
//                                                            next queued, /exit or idle
//   the wait lost,   kept     -                    kept      tell, drop the queue: Idle kept
//   an end unknown
//   close            kept     put back: Closed     kept      ask (naming the queue);    kept
//                                                            Yes puts back: Closed
//   session end      at once in every state: put back, nothing asked or told: Closed
//
// While a box is up, input waits behind it, as in Opening, Starting and
// PuttingBack; it is handled in order once these are over. A start kept
// behind the close question goes on after the put-back, in place of the end.
// A start that fails is told and applies nothing of its own; the next queued
// start follows it. Every row of this table is a row of machine_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "run/run_view.h"
#include "texts/texts.h"
#include "run/run_data.h"

namespace tavrel {

struct MachineContext {
  const Texts& texts;
  // Set when the logon could not run the restore's command line: every
  // launch is refused with it.
  std::string launchRefusal;
};

struct Step {
  RunData state;
  std::vector<Effect> effects;
};

[[nodiscard]] Step Next(const MachineContext& context, RunData state, const Input& input);

// The box to show now, if any: at logon the reports wait for the end.
[[nodiscard]] const PendingBox* BoxToShow(const RunData& state);
// Whether a second start's hand-over can still be taken.
[[nodiscard]] bool TakesHandOvers(const RunData& state);
// The window's picture of the state.
[[nodiscard]] Screen ScreenOf(const RunData& state, const Texts& texts);

}  // namespace tavrel
