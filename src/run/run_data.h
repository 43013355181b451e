// The run as data: its state, the input it takes and the effects it asks
// for. The machine (machine.h) turns a state and an input into the next
// state and its effects; the runner (run.h) carries the effects out and feeds
// their results back as more input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/process.h"
#include "desktop/desktop.h"
#include "hand_over/hand_over.h"

namespace tavrel {

enum class DropBox { Program, Font };

enum class RunState {
  Opening,      // the window is not shown yet: input waits until it is
  Idle,         // nothing is waited for: the user may launch
  Starting,     // a start is under way: the font's switch, then the shell's start
  Waiting,      // programs run with the user font (or an earlier copy's)
  PuttingBack,  // the settings go back
  Closed,       // the window goes and the message loop ends
};

// What a launch starts: the program, its font, its arguments and how its
// window first shows.
struct StartOrder {
  std::string program;
  std::string font;
  std::string arguments;
  ShowState show = ShowState::Normal;
  bool exit = false;   // Tavrel is to end with it (a second start's /exit)
  std::string folder;  // where it starts; empty: the program's own folder
};

// The programs of one launch, or those a recovery took over from an earlier
// copy (`program` empty); the runner holds their processes under `id`.
struct LaunchRecord {
  int id = 0;
  std::string program;
};

// --- what a Yes to a box does
struct YesCloses {
};
struct YesQueues {
  StartOrder order;
};
struct YesWritesShortcut {
  std::u16string file;
  std::string name;
};
using OnYes = std::variant<std::monostate, YesCloses, YesQueues, YesWritesShortcut>;

struct PendingBox {
  Box box;
  OnYes onYes;
};

// --- input: the user's, the loop's, the opening's
struct OpenFacts {
  std::string title;
  std::string program, font;  // registered at the opening, or empty
  std::string arguments;      // for the program
  std::string folder;         // where it starts: a shortcut's; empty: its own
  ShowState show = ShowState::Normal;
  bool exit = false;          // /exit
  bool run = false;           // /run
  bool startMinimized = false;
  std::string problem;        // the command line's usage text, or empty
};
struct Begin {
  OpenFacts facts;
};
struct BeginAtLogon {
  bool lockTaken = true;  // false: another copy runs and does the work
};
// The start-up guard turned this start away: its boxes, then the end.
struct Refused {
  std::vector<Box> boxes;
};
struct Launch {
};
struct Drop {
  DropBox box = DropBox::Program;
  std::string path;       // its long name already; a shortcut's program
  std::string arguments;  // a shortcut's, for the program
  std::string folder;     // a shortcut's working folder
  std::string refusal;    // why a shortcut given starts no program; empty: it does
};
struct HandedOver {
  HandOver handOver;  // a shortcut as its program already resolved
  bool sound = true;  // by the command line's rules (checked against the files)
  std::string folder;  // where its program starts: a shortcut's; empty: its own
  std::string refusal;  // why a shortcut given as its program starts none; empty: it does
};
struct LaunchEnded {
  int id = 0;
};
struct WaitLost {
};
struct CloseAsked {
};
struct SessionEnds {
};
struct ToggleExit {
};
struct HomePageAsked {
};
struct ShortcutAsked {
};
// The window could not finish its start: told, then closed.
struct WindowFailed {
  std::string text;
};
// The end of the input that was kept: /exit's close may follow.
struct Quiet {
};

// --- results of the effects
struct Answered {
  bool yes = false;
};
// What the journal says when the opening looks at it.
struct JournalFound {
  enum class Kind { None, Unreadable, OfARunningCopy, Left };
  Kind kind = Kind::None;
  std::string problem;  // Unreadable: what to tell
};
struct TookOver {
  std::optional<int> launch;  // the programs of the record that still run
  std::string font;           // the font the record switched in
  std::vector<std::string> problems;
};
struct Switched {
  bool ok = false;
  std::vector<Box> boxes;  // a problem, or what was kept as someone else's
};
struct Started {
  int launch = 0;
};
// A start that gave no process to wait for.
struct NotStarted {
  enum class Kind { HandedOver, Cancelled, Failed };
  Kind kind = Kind::Failed;
  std::string errorText;  // Failed: why, in the user's words
};
struct PutBack {
  bool complete = true;         // every value came back and the record went
  bool userFontActive = false;  // still, after a failure
  std::vector<Box> boxes;       // what the user must hear of it
};
struct ShortcutPlace {
  std::u16string file;  // empty: no desktop folder (`problem` says why)
  std::string name;
  bool exists = false;
  std::string problem;
};
// A report of an effect that needs nothing more than its boxes.
struct Reported {
  std::vector<Box> boxes;
};

using Input = std::variant<Begin, BeginAtLogon, Refused, Launch, Drop, HandedOver, LaunchEnded, WaitLost,
                           CloseAsked, SessionEnds, ToggleExit, HomePageAsked, ShortcutAsked, WindowFailed,
                           Quiet, Answered, JournalFound, TookOver, Switched, Started, NotStarted, PutBack,
                           ShortcutPlace, Reported>;

// --- effects: what the runner carries out, each answered by one input
struct ReadJournal {  // -> JournalFound
};
struct TakeOverJournal {  // -> TookOver
};
struct SwitchFont {  // -> Switched
  std::string font;
};
struct StartProgram {  // -> Started or NotStarted
  StartOrder order;
};
struct PutSettingsBack {  // -> PutBack
  bool recovering = false;  // the report names what came back
  bool silent = false;      // the session ends: nothing is told
};
struct ForgetLaunches {  // their ends are no longer waited for
};
struct RememberPair {
  StartOrder order;
};
struct BringToFront {
};
struct OpenHomePage {  // -> Reported
};
struct PlaceShortcut {  // -> ShortcutPlace
  std::string program;
};
struct WriteShortcut {  // -> Reported
  std::u16string file;
  std::string name;
  std::string program, font;
};
struct ReleaseLock {  // a start waiting for the logon's restore goes on
};
struct Replay {  // input kept behind a box or a start, in order
  std::vector<Input> inputs;
};

using Effect = std::variant<ReadJournal, TakeOverJournal, SwitchFont, StartProgram, PutSettingsBack,
                            ForgetLaunches, RememberPair, BringToFront, OpenHomePage, PlaceShortcut,
                            WriteShortcut, ReleaseLock, Replay>;

// What the settings go back for, and so what follows.
enum class AfterPutBack { Recovery, LastProgram, FailedStart, Close };

struct RunData {
  RunState state = RunState::Opening;
  bool atLogon = false;       // the logon's restore: no window
  bool begun = false;         // Opening: the facts of the start are in
  bool recovering = false;    // Opening: the journal is being looked at
  bool windowShown = false;
  bool startMinimized = false;  // until a launch, a box or a hand-over brings the window up
  bool raised = false;          // a box brought the window up during the run: it stays up
  bool runAtOpening = false;    // /run, once the window is shown
  std::string title;
  // The registered files: the next launch's.
  std::string program, font, arguments;
  std::string folder;  // where the program starts: a shortcut's; empty: its own
  ShowState show = ShowState::Normal;
  bool exitWhenDone = false;
  bool exitDue = false;         // /exit's close, once the boxes and the input kept are done
  std::string activeFont;       // the font switched in; empty: the system's
  std::vector<LaunchRecord> launches;
  std::vector<StartOrder> queued;  // each starts once all before it have ended
  std::optional<StartOrder> starting;  // Starting: the start under way
  AfterPutBack afterPutBack = AfterPutBack::LastProgram;
  std::string failedProgram;    // FailedStart: what and why, for the report after the put-back
  std::string failedError;      // empty: the user cancelled it
  bool silent = false;          // the session ends: nothing is asked or told
  std::vector<PendingBox> boxes;  // the first is up, or next to show
  std::vector<Input> kept;        // input to handle once the box or the start is over
};

}  // namespace tavrel
