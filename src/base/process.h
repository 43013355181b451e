// What more than one layer says of a process: which one it is, and how its
// window first shows.
#pragma once

#include <cstdint>

namespace tavrel {

// A process as it can be found again later: its id alone is not enough, since
// Windows hands an ended process's id to a later one.
struct ProcessIdentity {
  std::uint32_t processId = 0;
  std::uint64_t creationTime = 0;  // FILETIME: 100 ns units since 1601
  bool operator==(const ProcessIdentity&) const = default;
};

// How a program's window first shows, as a shortcut's run setting asks.
enum class ShowState { Normal, Minimized, Maximized };

}  // namespace tavrel
