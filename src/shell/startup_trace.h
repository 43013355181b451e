// Marks on the way from process start to the first paint, for the start-up
// breakdown of scripts/bench. In tavrel.exe they are empty calls; the
// benchmark's traced build links bench/startup_trace_recorder.cpp, whose
// definitions take the place of these.
#pragma once

namespace tavrel {

// Start-up has just finished the phase `phase` names (a string literal). A
// phase named more than once adds up.
void MarkStartup(const char* phase);
// Start-up is over (the first paint is done): the recorder writes its marks.
void EndStartupTrace();

}  // namespace tavrel
