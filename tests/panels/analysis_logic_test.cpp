// The Analysis Panel's controls write the settings, report real changes; each colouring's lines.
#include "panels/analysis.h"
#include "panels/notification.h"
#include "tests/core/test_files.h"

namespace valdrin::analysis_logic_test {

TEST(AnalysisPanel, ListsAndTheCheckBoxWriteTheSettings) {
  auto state = std::make_unique<AnalysisState>();
  const int L = kNotifySelectionChanged, C = kNotifyClicked;
  // clang-format off
  struct Step { int id, code, value, result; uint8_t colouring, neighbourhood; bool fdr; uint16_t band; unsigned changed; };
  const Step steps[] = {
      {kColourByList, L, 1, 1, kColourByHotSpots, 1, true, 0, kColouringChanged},
      {kColourByList, L, 1, 1, kColourByHotSpots, 1, true, 0, 0},  // the same again: no change
      {kNeighbourhoodList, L, 2, 1, kColourByHotSpots, 3, true, 0, kColouringChanged},
      {kFdrCheckBox, C, 0, 1, kColourByHotSpots, 3, false, 0, kColouringChanged},
      {kBandScaleList, L, 4, 1, kColourByHotSpots, 3, false, 10, kColouringChanged},
      {kColourByList, L, 3, 1, kColourByHotSpots, 3, false, 10, 0},     // no such item
      {kNeighbourhoodList, L, -1, 1, kColourByHotSpots, 3, false, 10, 0},  // nothing chosen
      {kFdrCheckBox, L, 1, 1, kColourByHotSpots, 3, false, 10, 0},     // not a click
      {kColourByList, L, 2, 1, kColourByChange, 3, false, 10, kColouringChanged},
      {kAnalysisSummary, C, 1, 0, kColourByChange, 3, false, 10, 0}};  // not a control that acts
  // clang-format on
  for (const Step& s : steps) {
    unsigned changed = 0;
    EXPECT_EQ(
        std::tuple(on_analysis_command(*state, s.id, s.code, s.value, changed), state->colouring,
                   state->neighbourhood, state->fdr, state->band_scale, changed),
        std::tuple(s.result, s.colouring, s.neighbourhood, s.fdr, s.band, s.changed))
        << s.id << " " << s.value;
  }
  const AnalysisDisplay shown = analysis_display(*state);
  EXPECT_EQ(std::tuple(shown.colour_by, shown.neighbourhood, shown.band_scale, shown.fdr),
            std::tuple(2, 2, 4, false));

  // Then 4, now 9 in one cell; the hot-spot line counts cells per level.
  state->before.total = 4, state->counts.total = 9;
  EXPECT_EQ(analysis_summary(*state), "No base window before Day,January,1,2000");
  state->has_base = true;
  EXPECT_EQ(analysis_summary(*state), "Then 4, now 9, z 2.00");
  state->colouring = kColourByHotSpots;
  state->hot.study[0] = state->hot.study[1] = 1, state->hot.bin[0] = 3, state->hot.bin[1] = -1;
  EXPECT_EQ(analysis_summary(*state), "Hot 99/95/90%: 1/0/0; cold 99/95/90%: 0/0/1");
  // The read-out's line per colouring.
  state->hot.z[0] = 3.5, state->hot.p[0] = 0.0004, state->hot.z[1] = -1.7, state->hot.p[1] = 0.0891;
  state->counts.cells[1] = 9, state->before.cells[1] = 4;
  EXPECT_EQ(std::tuple(analysis_readout(*state, 0), analysis_readout(*state, 1),
                       analysis_readout(*state, 2)),
            std::tuple("\nGi* z 3.50, p < 0.001: hot spot, 99%",
                       "\nGi* z -1.70, p 0.089: cold spot, 90%", "\nGi*: outside the study area"));
  state->colouring = kColourByChange;
  EXPECT_EQ(analysis_readout(*state, 1), "\nThen 4, now 9, z 2.00");
  state->colouring = kColourByEvents;
  EXPECT_EQ(analysis_readout(*state, 1) + analysis_summary(*state), "");
}

}  // namespace valdrin::analysis_logic_test
