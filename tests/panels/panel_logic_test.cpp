// Timeline and Query Panel logic without widgets: commands, ticks, reset, bar, list writes.
#include "core/store.h"
#include "panels/query_masks.h"
#include "panels/timeline.h"
#include "tests/core/test_files.h"

namespace valdrin::panel_logic_test {

// Fresh state and playback; what the commands report as changed is gathered.
struct TimelineRig {
  std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
  EventStore& store = state->store;
  TimeState& time = state->time;
  Event& query = state->query;
  PlaybackState playback;
  unsigned changed = 0;
};

const uint16_t kMid = pack_time_key(2, 15, 6, 10);  // Evening, June 15, 2010

TEST(Timeline, CommandsTheBarTheResetAndTicksThatWrapAtTheEndsOfTheYears) {
  // Afterwards: the Window end's step unit (-1 none), direction, start pinned, states, result.
  constexpr int B = kPlayBackward, P = kPaused, F = kPlayForward;
  constexpr int S = kStepShift, D = kStepDay, M = kStepMonth, Y = kStepYear, N = -1;
  // clang-format off
  struct Case { int id, code, selected, unit, forward, pins, play_state, step_unit, result; };
  const Case cases[] = {
    {1020, 0, 0, N, 0, 0, B, D, 1}, {1019, 0, 0, N, 0, 0, P, D, 1}, {1018, 0, 0, N, 0, 0, F, D, 1},
    {1018, 5, 0, N, 0, 0, P, D, 1},  // not a click
    {1029, 1, 2, N, 0, 0, P, M, 1}, {1029, 1, 0, N, 0, 0, P, S, 1}, {1029, 1, 3, N, 0, 0, P, Y, 1},
    // Not a change; nothing selected; no such item.
    {1029, 0, 2, N, 0, 0, P, D, 1}, {1029, 1, -1, N, 0, 0, P, D, 1}, {1029, 1, 4, N, 0, 0, P, D, 1},
    // The step buttons use their own unit, whatever the list says.
    {1030, 0, 0, S, 1, 0, P, D, 1}, {1031, 0, 0, S, 0, 0, P, D, 1}, {1033, 0, 0, D, 1, 0, P, D, 1},
    {1034, 0, 0, D, 0, 0, P, D, 1}, {1036, 0, 0, M, 1, 0, P, D, 1}, {1037, 0, 0, M, 0, 0, P, D, 1},
    {1039, 0, 0, Y, 1, 0, P, D, 1}, {1040, 0, 0, Y, 0, 0, P, D, 1},
    {1040, 4, 0, N, 0, 0, P, D, 1},  // focus, not a click
    {1046, 0, 0, N, 0, 1, P, D, 1},
    // The bar, the date label and foreign ids send nothing.
    {1023, 0, 0, N, 0, 0, P, D, 0}, {1044, 0, 0, N, 0, 0, P, D, 0}, {2, 0, 0, N, 0, 0, P, D, 0},
    {1021, 0, 0, N, 0, 0, P, D, 0}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << " code " << c.code);
    TimelineRig rig;
    std::tie(rig.playback.step_unit, rig.query.key, rig.time.window_start) =
        std::tuple(kStepDay, kMid, 0x1085);
    EXPECT_EQ(on_timeline_command(*rig.state, rig.playback, c.id, c.code, c.selected, rig.changed),
              c.result);
    uint16_t expected = kMid;
    if (c.unit >= 0)
      c.forward ? step_time_forward(expected, c.unit) : step_time_back(expected, c.unit);
    // A step or a pin is a new window; nothing else changes what is counted.
    EXPECT_EQ(std::tuple(rig.query.key, rig.time.window_start, rig.playback.play_state,
                         rig.playback.step_unit, rig.changed),
              std::tuple(expected, c.pins ? kMid : 0x1085, c.play_state, c.step_unit,
                         c.unit >= 0 || c.pins ? kWindowChanged : 0u));
  }
  // The bar is clamped into a sane range and takes its colour.
  // clang-format off
  struct Bar { uint16_t first, last, start, end; int min, max, position; uint32_t colour; };
  const Bar bars[] = {
      {0x1085, 0x2000, 0x1085, 0x1500, 0x1085, 0x2000, 0x1500, kBarBlue},
      {0x1085, 0x2000, 0x1085, 0x3000, 0x1085, 0x2000, 0x2000, kBarBlue},    // past the end: full
      {0x1085, 0x2000, 0x1085, 0x0100, 0x1085, 0x2000, 0x1085, kBarOrange},  // before it: empty
      {0x2000, 0x1085, 0x2000, 0x1500, 0x1085, 0x2000, 0x1500, kBarOrange},  // First above Last
      {0x2000, 0x1085, 0x2000, 0x3000, 0x1085, 0x2000, 0x2000, kBarBlue},
      // One key: a range one key wide, never an empty one.
      {0x1085, 0x1085, 0x1085, 0x1085, 0x1085, 0x1086, 0x1085, kBarOrange},
      {0xFFFF, 0xFFFF, 0x0085, 0xFFFF, 0xFFFE, 0xFFFF, 0xFFFF, kBarBlue},
      {0xFFFE, 0xFFFE, 0x0085, 0xFFFE, 0xFFFE, 0xFFFF, 0xFFFE, kBarBlue}};
  // clang-format on
  for (const Bar& c : bars) {
    SCOPED_TRACE(testing::Message() << std::hex << c.first << " " << c.last << " " << c.end);
    Event query;
    query.key = c.end;
    const TimelineDisplay d = timeline_display(TimeState{c.start, c.first, c.last}, query,
                                               PlaybackState{kPaused, kStepDay, c.first, c.last});
    EXPECT_EQ(std::tuple(d.bar_min, d.bar_max, d.bar_position, d.bar_colour),
              std::tuple(c.min, c.max, c.position, c.colour));
  }
  // The reset gives a shiftless First key the Day shift and keeps playback.
  TimelineRig rig;
  for (uint16_t key : {0x1084, 0x1085, 0x1087, 0x1090})  // a First key with shift 0
    rig.store.records[rig.store.count++] = test::event_at(key, 10, 20);
  set_data_keys(rig.store, rig.time);
  rig.playback = PlaybackState{kPlayForward, kStepMonth, 0, 0};
  rig.query.key = 0x7777;
  reset_timeline(*rig.state, rig.playback);
  count_state(*rig.state);  // the shiftless event and the day-shift one
  EXPECT_EQ(std::tuple(rig.query.key, rig.time.window_start, rig.playback.range_min,
                       rig.playback.range_max, rig.playback.play_state, rig.playback.step_unit,
                       rig.state->counts.total),
            std::tuple(0x1085, 0x1084, 0x1084, 0x1090, kPlayForward, kStepMonth, 2u));
  // Ticks: play state, timer, direction (-1 back, 0 none, 1 forward), in each unit.
  const int ticks[][3] = {{B, 1, -1}, {P, 1, 0}, {F, 1, 1}, {F, 2, 0}, {B, 0, 0}};
  for (const auto& [state, timer, direction] : ticks)
    for (uint8_t unit : {kStepShift, kStepDay, kStepMonth, kStepYear}) {
      TimelineRig rig;
      std::tie(rig.playback.play_state, rig.playback.step_unit, rig.query.key) =
          std::tuple(static_cast<uint8_t>(state), unit, kMid);
      const unsigned changed = on_timer(*rig.state, rig.playback, timer);
      uint16_t expected = kMid;
      if (direction != 0)
        direction > 0 ? step_time_forward(expected, unit) : step_time_back(expected, unit);
      EXPECT_EQ(std::tuple(rig.query.key, changed),
                std::tuple(expected, direction != 0 ? kWindowChanged : 0u))
          << state << " " << timer;
    }
  // Playback never stops by itself: it wraps from 2031 to 2000 and back.
  TimelineRig wrap;
  wrap.playback = PlaybackState{kPlayForward, kStepYear, kFirstValidKey, kLastValidKey};
  wrap.query.key = pack_time_key(1, 15, 6, 31);
  for (const auto& [state, year] :
       {std::pair{kPlayForward, 0}, {kPlayForward, 1}, {kPlayBackward, 0}, {kPlayBackward, 31}}) {
    wrap.playback.play_state = state;
    on_timer(*wrap.state, wrap.playback, 1);
    EXPECT_EQ(unpack_time_key(wrap.query.key).year, year);
  }
}

TEST(QueryLists, EachWritesItsFieldOthersChangeNothingAndTheListsShowTheMasks) {
  constexpr EventPart I = EventPart::Incident, O = EventPart::Officer, S = EventPart::Suspect;
  // clang-format off
  struct Case { int id, item; EventPart mask; uint32_t word; };  // word: the mask afterwards
  const Case cases[] = {
      {1001, 3, I, 3u << 0}, {1011, 4, I, 4u << 2}, {1012, 2, I, 2u << 8}, {1013, 4, I, 4u << 11},
      // Officer count "Duplicate" is 9, response "Duplicate" its index, suspect count "9" is 6.
      {1002, 5, O, 5u << 0}, {1002, 6, O, 9u << 0}, {1003, 4, O, 4u << 4}, {1004, 2, O, 2u << 8},
      {1005, 3, O, 3u << 11}, {1006, 6, S, 6u << 0},
      {1007, 6, S, 6u << 4}, {1008, 3, S, 3u << 8}, {1009, 8, S, 8u << 12}, {1010, 6, S, 6u << 17},
      {1001, 300, I, 0u},  // low 8 bits (44), then 2 bits: 0
      {1011, 0x47, I, 7u << 2}};  // 6 bits of 0x47
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "list " << c.id << " item " << c.item);
    Event query = initial_query();
    unsigned changed = 0;
    const int result = on_query_change(query, c.id, kNotifySelectionChanged, c.item, changed);
    const auto word = [&](EventPart part) { return c.mask == part ? c.word : 0u; };
    EXPECT_EQ(std::tuple(result, changed, query.incident, query.officer, query.suspect, query.key),
              std::tuple(1, kQueryChanged, word(I), word(O), word(S), initial_query().key));
    query.incident |= 0x3u;  // "ALL" writes 0 into that field only
    const Event before = query;
    on_query_change(query, c.id, kNotifySelectionChanged, 0, changed);
    for (const QueryField& f : kQueryFields) {
      const auto field = static_cast<QueryFieldId>(&f - kQueryFields);
      EXPECT_EQ(get_query_field(query, field),
                kQueryLists[field] == c.id ? 0u : get_query_field(before, field));
    }
  }
  // A list opened, nothing selected, or no list at all: nothing written or rebuilt.
  Event query = initial_query();
  unsigned changed = 0;
  for (int id = 1001; id <= 1013; ++id)
    EXPECT_EQ(std::tuple(on_query_change(query, id, 3, 1, changed),
                         on_query_change(query, id, kNotifySelectionChanged, -1, changed)),
              std::tuple(1, 1))
        << id;
  for (int id : {1000, 1014, 2, 0}) EXPECT_EQ(on_query_change(query, id, 1, 1, changed), 0) << id;
  EXPECT_EQ(std::tuple(changed, query.incident | query.officer | query.suspect),
            std::tuple(0u, 0u));
  // Officer "Duplicate", suspect "9", division "Travis".
  for (const auto& [id, item] : {std::pair{1002, 6}, {1006, 6}, {1011, 4}})
    on_query_change(query, id, kNotifySelectionChanged, item, changed);
  int items[kQueryFieldCount];
  query_list_items(query, items);
  for (int f = 0; f < kQueryFieldCount; ++f) {
    const int expected = f == kQueryNumo || f == kQueryNums ? 6 : f == kQueryDivision ? 4 : 0;
    EXPECT_EQ(items[f], expected) << kQueryLists[f];
  }
  // A value no item writes shows no item.
  set_query_field(query, kQueryNumo, 7);
  query_list_items(query, items);
  EXPECT_EQ(items[kQueryNumo], -1);
}

}  // namespace valdrin::panel_logic_test
