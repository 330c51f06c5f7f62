// The shell's rules without a window; changes are counted by the frames they ask for.
#include <QDir>
#include <QSettings>
#include <deque>

#include "app/command_line.h"
#include "app/file_commands.h"
#include "app/file_dialogs.h"
#include "app/navigation.h"
#include "app/panel_commands.h"
#include "app/program.h"
#include "app/settings.h"
#include "app/start_up.h"
#include "core/cell_table.h"
#include "core/csv.h"
#include "core/store.h"
#include "panels/gis.h"
#include "tests/core/test_files.h"

namespace valdrin::shell_logic_test {

constexpr unsigned kLeft = kLeftButton, kRight = kRightButton, kS = kShiftKey, kC = kControlKey;

struct Shell : ::testing::Test {
  test::MessageRecorder recorder;
  std::unique_ptr<Program> program = std::make_unique<Program>();
  Program& p = *program;
  int rebuilds = 0, redraws = 0;  // changes run through, frames drawn
  NavigationHooks hooks;

  Shell() {
    p.services.request_frame = [this] { ++rebuilds; };
    hooks.redraw = [this] { ++redraws; };
    resize_camera(p.view, 801, 601);
  }
  void move(unsigned flags, int x, int y) {
    on_mouse_move(p, hooks, flags, static_cast<int16_t>(x), static_cast<int16_t>(y));
  }
};

// Turning clamps, not wraps, and leaves a limit at once; Shift zooms down to 5, Ctrl doesn't.
TEST_F(Shell, RightDragTurnsAndZoomsWithClampsLeftDragSteps) {
  std::tie(p.view.heading, p.view.tilt) = std::tuple(100.0f, 80.0f);
  on_right_down(p, hooks, kRight, 0, 100);
  const int turns[][4] = {{200, 70, -100, 90}, {300, 400, -180, -90}, {290, 390, -170, -80}};
  for (const auto& [x, y, heading, tilt] : turns) {
    move(kRight, x, y);
    EXPECT_EQ(std::tuple(p.view.heading, p.view.tilt), std::tuple(heading, tilt)) << x;
  }
  on_right_down(p, hooks, kRight | kShiftKey, 0, 300);
  const unsigned zooms[][3] = {{kS, 100, 5}, {kS, 130, 35}, {kC, 140, 35}, {kS | kC, 150, 45}};
  for (const auto& [keys, y, distance] : zooms) {
    move(kRight | keys, 0, y);
    EXPECT_EQ(p.view.distance, static_cast<float>(distance)) << y;
  }
  EXPECT_EQ(std::tuple(rebuilds, p.pointer.last_y), std::tuple(0, 150));
  // Left drags step once per move, vertical ones only recount; modified or two-button ones don't.
  p.analysis.query.key = pack_time_key(1, 10, 3, 4);
  on_right_up(p, hooks, 0, 0);
  on_left_down(p, hooks, kLeft, 5, 5);
  const uint8_t moves[][4] = {{1, 0, 11, 3}, {51, 0, 12, 3}, {51, 80, 12, 3}, {10, 80, 11, 3}};
  for (const auto& [x, y, day, month] : moves) {
    move(kLeft, x, y);
    EXPECT_EQ(p.analysis.query.key, pack_time_key(1, day, month, 4)) << +x << "," << +y;
  }
  p.playback.step_unit = kStepMonth;
  move(kLeft, 20, 80);  // the Window start never steps
  EXPECT_EQ(std::tuple(rebuilds, p.analysis.query.key, p.analysis.time.window_start),
            std::tuple(5, pack_time_key(1, 11, 4, 4), TimeState{}.window_start));
  on_left_up(p, hooks, 100, 0);
  on_left_down(p, hooks, kLeft, 50, 0);
  move(kLeft, 60, 0);  // 40 left of (100, 0)
  EXPECT_EQ(p.analysis.query.key, pack_time_key(1, 11, 3, 4));

  rebuilds = 0, p.view.heading = 0;
  const uint16_t start = p.analysis.query.key = pack_time_key(2, 5, 5, 5);
  move(kLeft | kControlKey, 30, 0), move(kLeft | kShiftKey, 60, 0);
  move(kLeft | kRight, 90, 0);  // both buttons: turn only
  EXPECT_EQ(std::tuple(p.analysis.query.key, rebuilds, p.view.heading),
            std::tuple(start, 0, -30.0f));
  const int before = redraws;
  move(0, 500, 500);  // no button: nothing at all, and the last position stays
  EXPECT_EQ(std::tuple(redraws, p.pointer.last_x), std::tuple(before, 90));
  // Every handler redraws; releases and right presses store the position.
  on_left_down(p, hooks, kLeft, 1, 1), on_left_up(p, hooks, 2, 2);
  on_right_down(p, hooks, kRight, 3, 3), on_right_up(p, hooks, 4, 4), on_key_up(p, hooks, 65);
  EXPECT_EQ(std::tuple(redraws, p.pointer.last_x), std::tuple(before + 5, 4));
}

// Ctrl + right re-centres on the picked cell, Ctrl + left selects and reports; not off the grid.
TEST_F(Shell, CtrlPressesRecentreAndSelect) {
  on_right_down(p, hooks, kRight | kControlKey, 400, 300);
  EXPECT_EQ(std::tuple(p.view.look_at[0], p.view.look_at[1], p.view.look_at[2]),
            std::tuple(41.5f, 32.5f, 0.0f));
  const int cell = 32 * kGridCols + 41;
  p.analysis.cells.words[cell][0] = make_cell_word(2, 0, false, 3, 0, false);
  p.analysis.cells.words[0][0] |= kSelectedBit;
  on_left_down(p, hooks, kLeft | kControlKey, 400, 300);
  const auto selected = [&](int at) { return (p.analysis.cells.words[at][0] & kSelectedBit) != 0; };
  const std::string report = p.info.text;
  ASSERT_EQ(std::tuple(selected(cell), selected(0), rebuilds), std::tuple(true, false, 1));
  EXPECT_TRUE(report.starts_with("From: ") &&
              report.find("Zip Code 77002: 0, 0.00%\r\n") != report.npos);
  p.view.look_at[0] = -200;
  on_right_down(p, hooks, kRight | kControlKey, 400, 300);
  on_left_down(p, hooks, kLeft | kControlKey, 400, 300);
  EXPECT_EQ(
      std::tuple(p.view.look_at[0], selected(cell), p.info.text, rebuilds, hover_text(p, 400, 300)),
      std::tuple(-200.0f, false, report, 2, ""));  // nor does resting read anything there
  on_left_down(p, hooks, kLeft, 400, 300);         // without Ctrl only a redraw
  EXPECT_EQ(rebuilds, 2);
}

// Save appends a missing extension, case for case; open takes it as is; too long is refused.
TEST_F(Shell, ChosenNamesFoldersTheWorkingDirectoryAndWhatFileCommandsSay) {
  test::ScratchDir dir;
  const std::string work = dir.path("work"), in = dir.path("elsewhere/");
  std::deque<std::string> answers;
  std::vector<std::string> opened_in;
  const QString previous_cwd = QDir::currentPath();
  std::filesystem::create_directories(work + "/data"), std::filesystem::create_directories(in);
  test::write_file(work + "/data/marker", "x");
  QDir::setCurrent(QString::fromStdString(work));
  init_file_dialogs(p.dialogs);
  p.services.run_file_dialog = [&](bool, const std::string& folder, const std::string&) {
    opened_in.push_back(folder);
    QDir::setCurrent(QString::fromStdString(in));  // as a real dialog may leave it
    const std::string answer = answers.empty() ? "" : answers.front();
    return answers.empty() ? answer : (answers.pop_front(), answer);
  };
  const std::string longest(kPathCapacity - 1 - in.size() - 4, 'n');  // with ".txt"
  const std::tuple<bool, std::string, std::string> cases[] = {
      {true, "report", "report.txt"},     {true, "REPORT.TXT", "REPORT.TXT.txt"},
      {true, "report.txt", "report.txt"}, {true, "a.txt.bak", "a.txt.bak.txt"},
      {false, "report", "report"},        {true, longest + "n", ""},
      {true, longest, longest + ".txt"}};  // "" : refused
  for (const auto& [save, typed, chosen] : cases) {
    answers = {in + typed};
    std::string path = "unchanged";
    EXPECT_EQ(save ? choose_save_file(p, path, ".txt") : choose_open_file(p, path, ".txt"),
              chosen.empty() ? 0 : 1)
        << typed;
    EXPECT_EQ(path, chosen.empty() ? "unchanged" : in + chosen) << typed;
  }
  EXPECT_EQ(recorder.log, "Error: The chosen path is too long (at most 255 characters)\n");

  opened_in.clear(), init_file_dialogs(p.dialogs);  // afresh, in the working directory
  std::string path = "unchanged";
  answers = {"", in + "shot.bmp", in + "data.vdr", ""};
  EXPECT_EQ(std::tuple(choose_open_file(p, path, ".vdr"), path), std::tuple(0, "unchanged"));
  ASSERT_EQ(choose_save_file(p, path, ".bmp"), 1);
  // Data files are found again: the working directory is back.
  EXPECT_EQ(std::tuple(QDir::currentPath().toStdString(), std::filesystem::exists("data/marker")),
            std::tuple(work, true));
  ASSERT_EQ(choose_open_file(p, path, ".vdr"), 1);
  EXPECT_EQ(choose_open_file(p, path, ".vdr"), 0);  // cancelled
  // The next dialog opens where the last file was chosen, whatever kind.
  EXPECT_EQ(std::tuple(opened_in, p.dialogs.dialog_directory, p.dialogs.working_directory),
            std::tuple(std::vector<std::string>{work, work, in, in}, in, work));
  // Each command's messages, in order, and what it did to the program.
  recorder.log.clear();
  test::write_file(in + "good.vdr", test::record_bytes(test::event_at(0x1084, 5, 6)) +
                                        test::record_bytes(test::event_at(0x1090, 5, 6)));
  test::write_file(in + "in.csv", "header\n2000,1,1,B,,45,10,1,CENTRAL\n");
  answers = {in + "good.vdr",  in + "missing.vdr", "",
             in + "copy",      in + "no/such/x",   in + "out",
             in + "no/such/y", in + "in.csv",      in + "x.csv"};
  load_data_command(p);
  // The reset gave the First key a shift; the new data was counted once.
  EXPECT_EQ(std::tuple(p.analysis.store.count, p.analysis.query.key, p.playback.range_max, rebuilds,
                       p.analysis.counts.total),
            std::tuple(2u, 0x1085, 0x1090, 1, 1u));
  load_data_command(p), load_data_command(p);  // missing, then cancelled
  EXPECT_EQ(std::tuple(p.analysis.store.count, rebuilds), std::tuple(2u, 1));
  save_data_command(p), save_data_command(p), export_csv_command(p), export_csv_command(p);
  EXPECT_EQ(
      std::tuple(test::read_file(in + "copy.vdr"), test::read_file(in + "out.csv").substr(0, 30)),
      std::tuple(test::read_file(in + "good.vdr"), "START\n-NA-,January,1,2002\nEND\n"));
  import_csv_command(p), import_csv_command(p);  // a failed import keeps the store
  EXPECT_EQ(p.analysis.store.count, 1u);
  EXPECT_EQ(recorder.log,
            "Info: Load complete\nERROR: read_records(): fopen error\n"
            "Error: Can't load data file!!\nInfo: Save complete\nError: Can't save data file!!\n"
            "Info: Export complete\nError: Can't export csv file!!\nInfo: Load complete\n"
            "Error: Can't load csv file!!\n");
  // The Info text saved: cancelled, the extension added, a folder missing.
  info_clear(p.info), info_append(p.info, "Total Events: 3\r\n");
  const std::tuple<std::string, int, std::string> saves[] = {
      {"", 0, ""},
      {in + "report", 1, "Info: Save complete\n"},
      {in + "no/such/folder/report.txt", 0, "Error: Can't save text file!!\n"}};
  for (const auto& [chosen, result, said] : saves) {
    answers = {chosen}, recorder.log.clear();
    EXPECT_EQ(std::tuple(save_info_text(p), recorder.log), std::tuple(result, said)) << chosen;
  }
  EXPECT_EQ(std::tuple(test::read_file(in + "report.txt"), p.info.text),
            std::tuple("Total Events: 3 \n \n", "Total Events: 3\r\n\r\n"));
  QDir::setCurrent(previous_cwd);
}

TEST_F(Shell, GenerateNeedsAZipAreaGisChangesWriteOneFieldAndTheCommandLineFileLoads) {
  generate_data_command(p);  // an all-zero cell table
  EXPECT_EQ(std::tuple(p.analysis.store.count, recorder.log, rebuilds),
            std::tuple(0u, "ERROR: generate_events(): no cell has a zip area\n", 0));
  p.analysis.cells.words[100][0] = make_cell_word(1, 0, false, 9, 0, false);
  generate_data_command(p);
  // The timeline was reset: the First key's day, with a shift.
  EXPECT_EQ(std::tuple(p.analysis.store.count, rebuilds, p.analysis.query.key & 3u ? 1 : 0,
                       p.analysis.query.key >> 2),
            std::tuple(kGenerateCount, 1, 1, p.analysis.time.first_key >> 2));
  // From 0x0034, Basemap, Keymap, in turn: each control that acts says so; map and mode apart.
  // clang-format off
  struct Step { uint16_t id; int value, acted; uint16_t flags; uint8_t map_and_mode; };
  const Step steps[] = {
      {1005, 0, 1, 0x0030, 0x00},   // "Major Roads" unchecked
      {1012, 1, 1, 0x0031, 0x00}, {1014, 1, 1, 0x0033, 0x00},  // "Zip Codes", "Zip Code Labels"
      {1013, 1, 1, 0x0233, 0x00},   // "Hospital Labels": bit 9
      {1016, 2, 1, 0x0233, 0x10},   // Selection "Zip Code"
      {1004, 1, 1, 0x0233, 0x11},   // Map "City Council": the mode stays
      {1016, 1, 1, 0x0233, 0x09},   // Selection "City Council": the map stays
      {1004, -1, 1, 0x0233, 0x0F}, {1004, 8, 1, 0x0233, 0x08},  // no entry stores 7; AND 7
      {1015, 1, 0, 0x0233, 0x08}, {1003, 1, 0, 0x0233, 0x08}, {1024, 1, 0, 0x0233, 0x08},  // inert
      {1011, 3, 1, 0x0333, 0x08}, {1008, 2, 1, 0x0313, 0x08}};  // a box takes bit 0 of its state
  // clang-format on
  p.analysis.gis.map_and_mode = 0xC0;  // the two unused bits survive every write
  GisSettings& gis = p.analysis.gis;
  for (const Step& s : steps) {
    const int acted = gis_command(gis, s.id, s.value);
    EXPECT_EQ(std::tuple(acted, gis.overlay_flags, gis.map_and_mode, map_choice(gis),
                         selection_mode(gis)),
              std::tuple(s.acted, s.flags, static_cast<uint8_t>(0xC0 | s.map_and_mode),
                         s.map_and_mode & 7, s.map_and_mode >> 3))
        << s.id;
  }
  for (uint16_t id : kOverlayCheckBoxes) gis_command(gis, id, 1);
  EXPECT_EQ(p.analysis.gis.overlay_flags, 0x03FF);
  // A command-line file loads as "Load Data.." loads; a failure keeps the store; then --to moves.
  test::ScratchDir dir;
  static EventStore two;  // too big for the stack
  two.count = 0;
  for (uint16_t key : {0x1084, 0x1090}) two.records[two.count++] = test::event_at(key, 5, 6);
  ASSERT_EQ(write_records(dir.path("good.vdr").c_str(), two), 1);
  test::write_file(dir.path("empty.vdr"), "");
  std::filesystem::create_directory(dir.path("folder.vdr"));
  const char* failed = "Error: Can't load data file!!\n";
  const std::tuple<const char*, std::string, uint32_t> cases[] = {
      {"good.vdr", "Info: Load complete\n", 2},
      {"missing.vdr", std::string("ERROR: read_records(): fopen error\n") + failed, 2},
      {"folder.vdr", std::string("ERROR: read_records(): read error\n") + failed, 2},
      {"empty.vdr", "Info: Load complete\n", 0}};
  for (const auto& [name, said, count] : cases) {
    recorder.log.clear();
    StartOptions options;
    options.file = dir.path(name);
    finish_start_up(p, options, ViewerSettings{});
    EXPECT_EQ(std::tuple(recorder.log, p.analysis.store.count), std::tuple(said, count)) << name;
  }
  StartOptions options;
  options.file = dir.path("good.vdr"), options.window_end = 0x108F;
  finish_start_up(p, options, ViewerSettings{});
  EXPECT_EQ(std::tuple(start_summary(p), p.analysis.counts.total),
            std::tuple("2 events, -NA-,January,1,2002 to Night,January,3,2002", 1u));
}

// Options and their values; a file, a value missing or bad, an unknown option are refused.
TEST(CommandLine, OptionsFileAndUsageErrors) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "|||----"},
      {"a.vdr|--data|d|--to|Night,January,31,2024", "a.vdr|d|0xC0FF|----"},
      {"--help|--version|--reset-settings|--quit-after-start", "|||hvrq"},
      {"--data", "--data needs a folder"},
      {"--data|", "--data needs a folder"},
      {"--to|Day,February,30,2024", "bad time key \"Day,February,30,2024\" for --to: a date label"},
      {"--to|4229", "bad time key \"4229\" for --to"},
      {"a.vdr|b.vdr", "one file at most (a.vdr, b.vdr)"},
      {"-platform|offscreen", "unknown option -platform"}};
  for (const auto& [line, expected] : cases) {
    std::vector<std::string> args = {"valdrin"};
    std::istringstream fields(line);
    for (std::string arg; std::getline(fields, arg, '|');) args.push_back(arg);
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    StartOptions o;
    std::string said = parse_start_options(static_cast<int>(argv.size()), argv.data(), o);
    if (said.empty()) {
      char key[8] = "";
      if (o.window_end) std::snprintf(key, sizeof key, "0x%04X", *o.window_end);
      said = o.file + "|" + o.data + "|" + key + "|" + (o.help ? "h" : "-") +
             (o.version ? "v" : "-") + (o.reset_settings ? "r" : "-") +
             (o.quit_after_start ? "q" : "-");
    }
    EXPECT_EQ(said.substr(0, std::strlen(expected)), expected) << line;
  }
}

// Every value the settings keep reads back; each kind of damage loses that value alone, which
// then keeps its first-start value; a file of garbage is read as far as it makes sense.
TEST(Settings, WrittenReadBackAndEachKindOfDamageFallsBack) {
  test::ScratchDir dir;
  ViewerSettings full;
  full.window_place = QPoint(-8, 30), full.window_size = QSize(900, 700);
  for (size_t i = 0; i < kSavedPanels; ++i)
    full.panels[i] = SavedPanel{QPoint(10 * int(i), 5 * int(i)), i % 2 == 0};
  full.step_unit = kStepYear, full.map_choice = 1, full.selection_mode = 2;
  full.overlay_flags = 0x3FF, full.dialog_folder = dir.root();
  full.colouring = kColourByChange, full.neighbourhood = 3, full.fdr = false, full.band_scale = 20;
  const QVariantMap values = settings_values(full);
  ASSERT_EQ(values.size(), 4 + 18 + 5 + 4);
  EXPECT_EQ(settings_values(read_settings(values)), values);
  {
    QSettings file(QString::fromStdString(dir.path("valdrin.conf")), QSettings::IniFormat);
    ASSERT_TRUE(save_settings(file, full));
  }
  QSettings file(QString::fromStdString(dir.path("valdrin.conf")), QSettings::IniFormat);
  EXPECT_EQ(settings_values(load_settings(file)), values);

  // clang-format off
  const std::tuple<const char*, QVariant, QStringList> damages[] = {  // key, value, what goes
      {"timeline/step_unit", 9, {"timeline/step_unit"}},
      {"timeline/step_unit", "Day", {"timeline/step_unit"}},
      {"timeline/step_unit", QVariant(), {"timeline/step_unit"}},  // missing
      {"gis/map", 2, {"gis/map"}}, {"gis/selection", -1, {"gis/selection"}},
      {"gis/overlays", 0x400, {"gis/overlays"}}, {"gis/overlays", "1.5", {"gis/overlays"}},
      {"panels/info/shown", "maybe", {"panels/info/shown"}},
      {"panels/gis/x", "left", {"panels/gis/x", "panels/gis/y"}},
      {"panels/gis/y", 99999999, {"panels/gis/x", "panels/gis/y"}},
      {"window/width", 50, {"window/width", "window/height"}},
      {"window/height", QStringList{"7", "8"}, {"window/width", "window/height"}},
      {"dialogs/folder", "/no/such/folder", {"dialogs/folder"}},
      {"dialogs/folder", 12, {"dialogs/folder"}},
      {"analysis/colour_by", 3, {"analysis/colour_by"}},
      {"analysis/neighbourhood", 0, {"analysis/neighbourhood"}},
      {"analysis/fdr", 1, {"analysis/fdr"}}, {"analysis/band_scale", 3, {"analysis/band_scale"}}};
  // clang-format on
  for (const auto& [key, value, lost] : damages) {
    QVariantMap damaged = values, expected = values;
    value.isValid() ? void(damaged[key] = value) : void(damaged.remove(key));
    for (const QString& gone : lost) expected.remove(gone);
    const ViewerSettings read = read_settings(damaged);
    EXPECT_EQ(settings_values(read), expected) << key;
    // A value there but refused is named with what was expected; a missing one is no fault.
    EXPECT_EQ(read.refused.size() == 1 && read.refused[0].startsWith(QString(key) + ": expected "),
              value.isValid())
        << key << " " << read.refused.join(";").toStdString();
  }
  test::write_file(dir.path("garbage.conf"),
                   std::string("\0\xff[gis\nmap=\n==\x01\n[gis]\nmap=1\nselection\n[timeline]\n"
                               "step_unit=@Variant(\0\0\0\x7f\0\0\0\x08)\n",
                               78));
  QSettings garbage(QString::fromStdString(dir.path("garbage.conf")), QSettings::IniFormat);
  const ViewerSettings read = load_settings(garbage);
  EXPECT_EQ(settings_values(read), (QVariantMap{{"gis/map", 1}}));
}

// A window or panel counts as in view when its caption bar is and kPlaceGrip pixels of it are.
TEST(Settings, APlaceFitsWhenItsCaptionBarCanBeReached) {
  const QRect bounds(0, 0, 800, 600);
  const std::pair<QRect, bool> cases[] = {
      {{10, 10, 200, 100}, true},  {{-176, 0, 200, 100}, true}, {{-177, 0, 200, 100}, false},
      {{776, 0, 200, 100}, true},  {{777, 0, 200, 100}, false}, {{10, -1, 200, 100}, false},
      {{10, 576, 200, 100}, true}, {{10, 577, 200, 100}, false}};
  for (const auto& [place, fits] : cases) EXPECT_EQ(place_fits(place, bounds), fits) << place.x();
}

}  // namespace valdrin::shell_logic_test
