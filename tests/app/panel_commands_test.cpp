// The panels' actions without widgets: GIS Panel writes with one map
// rebuild each, the Info Panel's "Save" with its messages, and the hover
// read-out on and beside the grid.
#include "app/panel_commands.h"

#include <gtest/gtest.h>

#include "tests/app/app_rig.h"
#include "tests/core/test_files.h"
#include "view/gis_commands.h"

namespace valdrin {
namespace {

TEST(GisChange, EachControlWritesItsOneFieldAndRebuildsOnce) {
  struct Step {
    uint16_t id;
    int value;
    int acted;
    uint16_t flags;
    uint8_t map_and_mode;
  };
  // From the initial settings (0x0034, Basemap, Keymap), one after another.
  const Step steps[] = {
      {1005, 0, 1, 0x0030, 0x00},   // "Major Roads" unchecked
      {1012, 1, 1, 0x0031, 0x00},   // "Zip Codes"
      {1014, 1, 1, 0x0033, 0x00},   // "Zip Code Labels"
      {1013, 1, 1, 0x0233, 0x00},   // "Hospital Labels": bit 9
      {1016, 2, 1, 0x0233, 0x10},   // Selection "Zip Code"
      {1004, 1, 1, 0x0233, 0x11},   // Map "City Council": the mode stays
      {1016, 1, 1, 0x0233, 0x09},   // Selection "City Council": the map stays
      {1004, -1, 1, 0x0233, 0x0F},  // no current entry stores 7
      {1004, 8, 1, 0x0233, 0x08},   // AND 7
      {1015, 1, 0, 0x0233, 0x08},   // the "Selection" label does nothing
      {1003, 1, 0, 0x0233, 0x08},  {1024, 1, 0, 0x0233, 0x08},
      {1011, 3, 1, 0x0333, 0x08},  // a check box takes bit 0 of its state
      {1008, 2, 1, 0x0313, 0x08},
  };
  test::AppRig rig;
  Program& p = *rig.program;
  p.gis.map_and_mode = 0xC0;  // the two unused bits survive every write
  int rebuilds = 0;
  for (const Step& s : steps) {
    EXPECT_EQ(gis_change(p, s.id, s.value), s.acted) << s.id;
    rebuilds += s.acted;
    EXPECT_EQ(rig.rebuilds, rebuilds) << s.id;
    EXPECT_EQ(p.gis.overlay_flags, s.flags) << s.id;
    EXPECT_EQ(p.gis.map_and_mode, 0xC0 | s.map_and_mode) << s.id;
  }
  for (uint16_t id : kOverlayCheckBoxes) gis_change(p, id, 1);
  EXPECT_EQ(p.gis.overlay_flags, 0x03FF);
}

TEST(SaveInfoText, WritesTheTextOrSaysWhyNot) {
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  test::AppRig rig;
  Program& p = *rig.program;
  std::string answer;
  p.dialogs.run = [&answer](bool, const std::string&, const std::string&) { return answer; };
  info_append(p.info, "Total Events: 3\r\n");

  answer = "";  // cancelled: nothing said, nothing written
  EXPECT_EQ(save_info_text(p), 0);
  EXPECT_TRUE(recorder.messages.empty());

  answer = dir.path("report");  // the extension is added
  EXPECT_EQ(save_info_text(p), 1);
  EXPECT_EQ(test::read_file(dir.path("report.txt")), "Total Events: 3 \n \n");
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0],
            std::make_pair(std::string("Info"), std::string("Save complete")));

  answer = dir.path("no/such/folder/report.txt");
  EXPECT_EQ(save_info_text(p), 0);
  ASSERT_EQ(recorder.messages.size(), 2u);
  EXPECT_EQ(recorder.messages[1],
            std::make_pair(std::string("Error"), std::string("Can't save text file!!")));
  EXPECT_EQ(p.info.text, "Total Events: 3\r\n\r\n");  // saving keeps the text
}

TEST(HoverText, ReadsTheCellACtrlClickWouldPickAndChangesNothing) {
  test::AppRig rig;
  Program& p = *rig.program;
  p.cells.words[32 * kGridCols + 41][0] = make_cell_word(9, 5, true, 3, 4, true);
  p.counts.cells[32 * kGridCols + 41] = 2;
  const std::string text = hover_text(p, 400, 300);
  EXPECT_EQ(text,
            "Row 32, Column 41\nEvents: 2\nKeymap (32, 41)\nZip Code 77002\nZip Code 77003\n"
            "Council District I\nCouncil District E");
  EXPECT_EQ(p.cells.words[32 * kGridCols + 41][0] & kSelectedBit, 0u);
  EXPECT_EQ(rig.rebuilds + rig.redraws, 0);
  p.view.look_at[0] = -200;  // beside the grid: no read-out
  EXPECT_EQ(hover_text(p, 400, 300), "");
}

}  // namespace
}  // namespace valdrin
