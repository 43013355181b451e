// The machine's table: every state against every kind of input, over Next
// alone. A combination that cannot happen is a row too, with what the
// machine does with it (as a rule: nothing).
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "run/machine.h"

namespace tavrel {
namespace {

constexpr char kProgram[] = "C:\\A\\viewer.exe";
constexpr char kFont[] = "C:\\A\\mine.tte";
constexpr char kOther[] = "D:\\B\\other.exe";
constexpr char kOtherFont[] = "D:\\B\\other.tte";

const Texts& JapaneseTexts() {
  static const Texts texts(Language::Japanese);
  return texts;
}

using S = RunState;

// The run in each state, as a window's start leaves it there.
RunData In(S state) {
  RunData s;
  s.state = state;
  if (state == S::Opening) return s;
  s.begun = true;
  s.windowShown = true;
  s.program = kProgram;
  s.font = kFont;
  if (state == S::Starting) s.starting = StartOrder{kProgram, kFont, "", ShowState::Normal, false, ""};
  if (state == S::Waiting || state == S::PuttingBack) {
    s.activeFont = kFont;
    s.launches = {LaunchRecord{1, kProgram}};
  }
  if (state == S::PuttingBack) s.launches.clear();
  return s;
}

const char* NameOf(const Effect& effect) {
  static constexpr const char* kNames[] = {"ReadJournal",  "TakeOverJournal", "SwitchFont",   "StartProgram",
                                           "PutBack",      "ForgetLaunches",  "RememberPair", "BringToFront",
                                           "OpenHomePage", "PlaceShortcut",   "WriteShortcut", "ReleaseLock",
                                           "Replay"};
  static_assert(std::size(kNames) == std::variant_size_v<Effect>);
  return kNames[effect.index()];
}

std::string NamesOf(const std::vector<Effect>& effects) {
  std::string names;
  for (const Effect& effect : effects) names += (names.empty() ? "" : " ") + std::string(NameOf(effect));
  return names;
}

HandedOver WithRun(const char* program, const char* font) {
  return HandedOver{HandOver{true, false, ShowState::Normal, program, font, ""}, true, "", ""};
}

struct Row {
  S from;
  Input input;
  S next;
  std::string effects;  // their names, in order
  std::size_t boxes = 0;
  std::size_t kept = 0;
};

// One sample of each kind of input, in the order of the variant.
std::vector<Input> EveryKind() {
  return {Begin{OpenFacts{"T", kProgram, kFont, "", "", ShowState::Normal, false, false, false, ""}}, BeginAtLogon{true}, Refused{{Box{"no"}}}, Launch{},
          Drop{DropBox::Font, kOtherFont, "", "", ""}, WithRun(kOther, kOtherFont), LaunchEnded{1}, WaitLost{}, CloseAsked{},
          SessionEnds{}, ToggleExit{}, HomePageAsked{}, ShortcutAsked{}, WindowFailed{"w"}, Quiet{},
          Answered{true}, JournalFound{}, TookOver{}, Switched{true, {}}, Started{2},
          NotStarted{NotStarted::Kind::Failed, "e"}, PutBack{}, ShortcutPlace{u"C:\\d.lnk", "d.lnk", false, ""},
          Reported{{Box{"r"}}}};
}

// Per state: what each kind of input above leads to.
const std::map<S, std::vector<Row>>& Table() {
  static const auto table = [] {
    std::map<S, std::vector<std::tuple<S, const char*, std::size_t, std::size_t>>> out{
        {S::Opening,
         {{S::Opening, "ReadJournal", 0, 0}, {S::Opening, "ReadJournal", 0, 0}, {S::Closed, "", 1, 0},
          {S::Opening, "", 0, 1}, {S::Opening, "", 0, 1}, {S::Opening, "", 0, 1}, {S::Opening, "", 0, 1},
          {S::Opening, "", 0, 1}, {S::Opening, "", 0, 1}, {S::Closed, "ForgetLaunches", 0, 0},
          {S::Opening, "", 0, 1}, {S::Opening, "", 0, 1}, {S::Opening, "", 0, 1},
          {S::Closed, "ForgetLaunches", 1, 0}, {S::Opening, "", 0, 1},
          // results: none can come before the opening has begun
          {S::Opening, "", 0, 0}, {S::Opening, "", 0, 0}, {S::Opening, "PutBack", 0, 0}, {S::Opening, "", 0, 0},
          {S::Opening, "", 0, 0}, {S::Opening, "", 0, 0}, {S::Opening, "", 0, 0}, {S::Opening, "", 0, 0},
          {S::Opening, "", 1, 0}}},
        {S::Idle,
         {{S::Idle, "ReadJournal", 0, 0}, {S::Idle, "ReadJournal", 0, 0}, {S::Closed, "", 1, 0},
          {S::Starting, "SwitchFont", 0, 0}, {S::Idle, "", 0, 0}, {S::Starting, "BringToFront SwitchFont", 0, 0},
          {S::Idle, "", 0, 0}, {S::Idle, "", 0, 0}, {S::Closed, "ForgetLaunches", 0, 0},
          {S::Closed, "ForgetLaunches", 0, 0}, {S::Idle, "", 0, 0}, {S::Idle, "OpenHomePage", 0, 0},
          {S::Idle, "PlaceShortcut", 0, 0}, {S::Closed, "ForgetLaunches", 1, 0}, {S::Idle, "", 0, 0},
          {S::Idle, "", 0, 0}, {S::Idle, "", 0, 0}, {S::PuttingBack, "PutBack", 0, 0}, {S::Idle, "", 0, 0},
          {S::Idle, "", 0, 0}, {S::Idle, "", 0, 0}, {S::Idle, "", 0, 0}, {S::Idle, "WriteShortcut", 0, 0},
          {S::Idle, "", 1, 0}}},
        {S::Starting,
         {{S::Starting, "", 0, 1}, {S::Starting, "", 0, 1}, {S::Starting, "", 0, 1},
          {S::Starting, "", 0, 1}, {S::Starting, "", 0, 1}, {S::Starting, "", 0, 1}, {S::Starting, "", 0, 1},
          {S::Starting, "", 0, 1}, {S::Starting, "", 0, 1}, {S::Closed, "ForgetLaunches", 0, 0},
          {S::Starting, "", 0, 1}, {S::Starting, "", 0, 1}, {S::Starting, "", 0, 1}, {S::Starting, "", 0, 1},
          {S::Starting, "", 0, 1},
          {S::Starting, "", 0, 0}, {S::Starting, "", 0, 0}, {S::PuttingBack, "PutBack", 0, 0},
          {S::Starting, "StartProgram", 0, 0}, {S::Waiting, "RememberPair", 0, 0},
          {S::PuttingBack, "PutBack", 0, 0}, {S::Starting, "", 0, 0}, {S::Starting, "WriteShortcut", 0, 0},
          {S::Starting, "", 1, 0}}},
        {S::Waiting,
         {{S::Waiting, "ReadJournal", 0, 0}, {S::Waiting, "ReadJournal", 0, 0}, {S::Closed, "", 1, 0},
          {S::Starting, "SwitchFont", 0, 0}, {S::Waiting, "", 0, 0}, {S::Waiting, "", 1, 0},
          {S::PuttingBack, "PutBack", 0, 0}, {S::Idle, "ForgetLaunches", 1, 0}, {S::Waiting, "", 1, 0},
          {S::PuttingBack, "PutBack", 0, 0}, {S::Waiting, "", 0, 0}, {S::Waiting, "OpenHomePage", 0, 0},
          {S::Waiting, "PlaceShortcut", 0, 0}, {S::Waiting, "", 2, 0}, {S::Waiting, "", 0, 0},
          {S::Waiting, "", 0, 0}, {S::Waiting, "", 0, 0}, {S::PuttingBack, "PutBack", 0, 0},
          {S::Waiting, "", 0, 0}, {S::Waiting, "", 0, 0}, {S::Waiting, "", 0, 0}, {S::Waiting, "", 0, 0},
          {S::Waiting, "WriteShortcut", 0, 0}, {S::Waiting, "", 1, 0}}},
        {S::PuttingBack,
         {{S::PuttingBack, "", 0, 1}, {S::PuttingBack, "", 0, 1}, {S::PuttingBack, "", 0, 1},
          {S::PuttingBack, "", 0, 1}, {S::PuttingBack, "", 0, 1}, {S::PuttingBack, "", 0, 1},
          {S::PuttingBack, "", 0, 1}, {S::PuttingBack, "", 0, 1}, {S::PuttingBack, "", 0, 1},
          {S::PuttingBack, "PutBack", 0, 0}, {S::PuttingBack, "", 0, 1}, {S::PuttingBack, "", 0, 1},
          {S::PuttingBack, "", 0, 1}, {S::PuttingBack, "", 0, 1}, {S::PuttingBack, "", 0, 1},
          {S::PuttingBack, "", 0, 0}, {S::PuttingBack, "", 0, 0}, {S::PuttingBack, "PutBack", 0, 0},
          {S::PuttingBack, "", 0, 0}, {S::PuttingBack, "", 0, 0}, {S::PuttingBack, "", 0, 0},
          {S::Idle, "", 0, 0}, {S::PuttingBack, "WriteShortcut", 0, 0}, {S::PuttingBack, "", 1, 0}}},
    };
    std::map<S, std::vector<Row>> rows;
    const std::vector<Input> inputs = EveryKind();
    for (const auto& [from, outcomes] : out) {
      for (std::size_t i = 0; i < inputs.size(); ++i) {
        const auto& [next, effects, boxes, kept] = outcomes.at(i);
        rows[from].push_back(Row{from, inputs[i], next, effects, boxes, kept});
      }
    }
    // Closed takes nothing: every input leaves it as it is.
    for (const Input& input : inputs) rows[S::Closed].push_back(Row{S::Closed, input, S::Closed, "", 0, 0});
    return rows;
  }();
  return table;
}

class EveryStateAndInput : public ::testing::TestWithParam<S> {};

TEST_P(EveryStateAndInput, LeadToTheirNextStateAndEffects) {
  const MachineContext context{JapaneseTexts(), {}};
  const std::vector<Row>& rows = Table().at(GetParam());
  ASSERT_EQ(rows.size(), std::variant_size_v<Input>);
  for (const Row& row : rows) {
    const Step step = Next(context, In(row.from), row.input);
    SCOPED_TRACE("input kind " + std::to_string(row.input.index()));
    EXPECT_EQ(step.state.state, row.next);
    EXPECT_EQ(NamesOf(step.effects), row.effects);
    EXPECT_EQ(step.state.boxes.size(), row.boxes);
    EXPECT_EQ(step.state.kept.size(), row.kept);
  }
}

INSTANTIATE_TEST_SUITE_P(, EveryStateAndInput,
                         ::testing::Values(S::Opening, S::Idle, S::Starting, S::Waiting, S::PuttingBack, S::Closed));

// The inputs in turn, and what each replay hands back, as the runner would.
Step Drive(RunData state, std::vector<Input> inputs) {
  const MachineContext context{JapaneseTexts(), {}};
  std::deque<Input> queue(inputs.begin(), inputs.end());
  Step last{std::move(state), {}};
  std::vector<Effect> effects;
  while (!queue.empty()) {
    Step step = Next(context, std::move(last.state), queue.front());
    queue.pop_front();
    for (auto effect = step.effects.rbegin(); effect != step.effects.rend(); ++effect) {
      if (const Replay* replay = std::get_if<Replay>(&*effect)) queue.insert(queue.begin(), replay->inputs.begin(), replay->inputs.end());
    }
    effects.insert(effects.end(), step.effects.begin(), step.effects.end());
    last = std::move(step);
  }
  return Step{std::move(last.state), std::move(effects)};
}

RunData WaitingWith(std::function<void(RunData&)> change) {
  RunData s = In(S::Waiting);
  change(s);
  return s;
}

struct Scenario {
  const char* name;
  RunData from;
  std::vector<Input> inputs;
  std::function<void(const Step&)> check;
};

class Scenarios : public ::testing::TestWithParam<Scenario> {};

TEST_P(Scenarios, KeepWhatTheUserAskedFor) { GetParam().check(Drive(GetParam().from, GetParam().inputs)); }

const HandedOver kQueued = WithRun(kOther, kOtherFont);
const HandedOver kThird = WithRun("E:\\third.exe", "E:\\third.tte");

INSTANTIATE_TEST_SUITE_P(
    , Scenarios,
    ::testing::Values(
        // A second start that came during the close question starts after the put-back.
        Scenario{"StartDuringTheCloseQuestion", In(S::Waiting),
                 {CloseAsked{}, WithRun(kOther, kFont), Answered{true}, PutBack{}},
                 [](const Step& step) {
                   EXPECT_EQ(step.state.state, S::Starting);
                   EXPECT_EQ(step.state.starting->program, kOther);
                   EXPECT_EQ(NameOf(step.effects.back()), std::string("SwitchFont"));
                 }},
        // A queued start that fails is told, and the next one follows it.
        Scenario{"AFailedQueuedStartIsFollowedByTheNext", In(S::Waiting),
                 {kQueued, Answered{true}, kThird, Answered{true}, LaunchEnded{1}, PutBack{},
                  Switched{false, {Box{"font gone"}}}},
                 [](const Step& step) {
                   EXPECT_EQ(step.state.state, S::Starting);
                   EXPECT_EQ(step.state.starting->program, "E:\\third.exe");
                   EXPECT_EQ(step.state.boxes.size(), 1u);
                 }},
        // ... and after the last, /exit's close follows.
        Scenario{"ExitClosesAfterTheLastQueuedStartFailed", WaitingWith([](RunData& s) { s.exitWhenDone = true; }),
                 {kQueued, Answered{true}, LaunchEnded{1}, PutBack{}, Switched{false, {Box{"font gone"}}},
                  Answered{true}},
                 [](const Step& step) { EXPECT_EQ(step.state.state, S::Closed); }},
        // A start beside the others that fails applies neither its /exit nor its program.
        Scenario{"AFailedStartAppliesNothingOfItsOwn", In(S::Waiting),
                 {HandedOver{HandOver{true, true, ShowState::Normal, kOther, kFont, ""}, true, "", ""}, Switched{true, {}},
                  NotStarted{NotStarted::Kind::Failed, "e"}},
                 [](const Step& step) {
                   EXPECT_EQ(step.state.state, S::Waiting);
                   EXPECT_EQ(step.state.program, kProgram);
                   EXPECT_FALSE(step.state.exitWhenDone);
                   EXPECT_EQ(step.state.boxes.size(), 1u);
                 }},
        // /run with a program alone, while an earlier copy's program runs: the font in place.
        Scenario{"AProgramAloneTakesTheFontInPlace", WaitingWith([](RunData& s) { s.font.clear(); }),
                 {WithRun(kOther, "")},
                 [](const Step& step) { EXPECT_EQ(step.state.starting->font, kFont); }},
        Scenario{"AProgramWithNoFontKnownIsTold", WaitingWith([](RunData& s) { s.font.clear(), s.activeFont.clear(); }),
                 {WithRun(kOther, "")},
                 [](const Step& step) {
                   EXPECT_EQ(step.state.state, S::Waiting);
                   EXPECT_EQ(step.state.boxes.size(), 1u);
                 }},
        // The close question names the starts queued, which its Yes drops.
        Scenario{"TheCloseQuestionNamesTheQueue", In(S::Waiting), {kQueued, Answered{true}, CloseAsked{}},
                 [](const Step& step) {
                   ASSERT_EQ(step.state.boxes.size(), 1u);
                   EXPECT_NE(step.state.boxes[0].box.text.find(kOther), std::string::npos);
                 }},
        // A shortcut that starts no program is told; neither its files nor its /run are taken.
        Scenario{"ARefusedShortcutTakesNothing", In(S::Idle),
                 {HandedOver{HandOver{true, true, ShowState::Normal, kOther, kOtherFont, ""}, true, "", "no program"}},
                 [](const Step& step) {
                   EXPECT_EQ(std::tuple(step.state.state, step.state.program, step.state.exitWhenDone),
                             std::tuple(S::Idle, std::string(kProgram), false));
                   EXPECT_EQ(step.state.boxes.size(), 1u);
                   EXPECT_TRUE(step.effects.empty());
                 }},
        // The session's end, behind a box: nothing kept is handled after it.
        Scenario{"SessionEndDropsTheBoxesAndWhatWasKept", In(S::Waiting),
                 {CloseAsked{}, kQueued, SessionEnds{}, PutBack{}, Answered{true}, Launch{}},
                 [](const Step& step) {
                   EXPECT_EQ(step.state.state, S::Closed);
                   EXPECT_TRUE(step.state.boxes.empty() && step.state.kept.empty() && step.state.queued.empty());
                   EXPECT_EQ(NameOf(step.effects.front()), std::string("PutBack"));
                 }}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tavrel
