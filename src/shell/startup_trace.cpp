#include "shell/startup_trace.h"

namespace tavrel {

// Nothing to record in the product. This file defines nothing else, so that
// the traced build's own definitions keep it out of the link.
void MarkStartup(const char*) {}
void EndStartupTrace() {}

}  // namespace tavrel
