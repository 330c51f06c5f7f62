// The running viewer under Xvfb, dialogs scripted: menus, mouse, panels, snapshot, print, drops.

#include <QAccessible>
#include <QPrinter>
#include <QTest>
#include <QtWidgets>
#include <regex>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/shell.h"
#include "core/message.h"
#include "core/store.h"
#include "panels/gis.h"
#include "panels/panel.h"
#include "tests/core/test_files.h"
#include "view/camera.h"
#include "view/image.h"

namespace valdrin::window_test {

// `save_as` answers file choosers, `print_to` print dialogs ("" cancels), noting timer 1's state.
struct Viewer {
  test::MessageRecorder recorder;
  std::unique_ptr<Program> program = std::make_unique<Program>();
  std::unique_ptr<MainWindow> window;
  std::string save_as, print_to;
  QRectF printable;  // the last printer's, in points on the full page
  int dialogs_opened = 0;
  bool timer_ran_in_dialog = false;
  std::function<int(QPrinter&)> real_print_dialog;

  // With `saved`, start-up takes the settings as the viewer's main does.
  explicit Viewer(const std::string& data_dir = VALDRIN_SOURCE_DIR "/data",
                  const ViewerSettings* saved = nullptr) {
    program->data_dir = data_dir;
    if (saved) apply_saved_choices(*program, *saved);
    window = std::make_unique<MainWindow>(*program);
    if (saved && saved->window_size) window->set_first_client_size(*saved->window_size);
    if (saved) window->set_after_set_up([this, saved] { apply_saved_panels(*program, *saved); });
    real_print_dialog = program->services.run_print_dialog;
    program->services.run_file_dialog = [this](bool, const std::string&, const std::string&) {
      return opened(), save_as;
    };
    program->services.run_print_dialog = [this](QPrinter& printer) {
      opened();
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(print_to));
      printable = printer.pageLayout().paintRect(QPageLayout::Point);
      return print_to.empty() ? 0 : 1;
    };
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(QTest::qWaitFor([this] { return program->panels.about != nullptr; }, 5000));
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  void opened() { ++dialogs_opened, timer_ran_in_dialog |= window->timer().isActive(); }
  void command(int id) {
    for (QAction* menu : window->menuBar()->actions())
      for (QAction* item : menu->menu()->actions())
        if (item->data().toInt() == id) item->trigger();
  }
};

void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button,
                Qt::MouseButtons buttons, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, modifiers);
  QApplication::sendEvent(widget, &event);
}

// Presses at the first point of `path`, moves through the others, releases at the last.
void drag(QWidget* widget, Qt::MouseButton button, std::initializer_list<QPoint> path,
          Qt::KeyboardModifiers modifiers = {}) {
  send_mouse(widget, QEvent::MouseButtonPress, button, button, *path.begin(), modifiers);
  for (auto at = path.begin() + 1; at != path.end(); ++at)
    send_mouse(widget, QEvent::MouseMove, Qt::NoButton, button, *at, modifiers);
  send_mouse(widget, QEvent::MouseButtonRelease, button, Qt::NoButton, *(path.end() - 1),
             modifiers);
}

TEST(MainWindow, StartUpStateEveryMenuCommandAndTheAboutBox) {
  Viewer v;
  Program& p = *v.program;
  const PanelWindows& panels = p.panels;
  QWidget* focus_at_start = QApplication::focusWidget();
  // The reset made the empty store's First key with its Day shift the Window end.
  EXPECT_EQ(
      std::tuple(v.window->windowTitle(), v.window->frameGeometry().size(),
                 v.window->centralWidget(), p.analysis.cells.words[33 * kGridCols + 42][0] != 0,
                 p.analysis.query.key, p.view.viewport_width),
      std::tuple("Valdrin 1.0d", QSize(1024, 768), v.window->view(), true, 0x0085,
                 v.window->view()->width() * v.window->devicePixelRatio()));
  // The GIS Panel shows the settings; each click rebuilds the map, on every top at once.
  Panel& gis = *panels.gis;
  auto* map_list = find_control_as<QComboBox>(gis, kGisMapList);
  auto* mode_list = find_control_as<QComboBox>(gis, kGisSelectionList);
  QStringList checked;
  for (uint16_t id : kOverlayCheckBoxes)
    if (auto* box = find_control_as<QCheckBox>(gis, id); box->isChecked()) checked << box->text();
  EXPECT_EQ(
      std::tuple(map_list->currentText(), map_list->count(), mode_list->currentText(),
                 mode_list->count(), checked, find_control_as<QLabel>(gis, kGisMapLabel)->buddy(),
                 find_control_as<QLabel>(gis, kGisSelectionLabel)->buddy()),
      std::tuple("Basemap", 2, "Keymap", 3,
                 QStringList({"Major Roads", "Highways", "Highway Labels"}), map_list, mode_list));
  auto* view = v.window->view();
  const QImage before = view->grabFramebuffer();
  QTest::mouseClick(find_control_as<QCheckBox>(gis, 1012), Qt::LeftButton);  // "Zip Codes"
  const QImage after = view->grabFramebuffer();
  forget_frame(p.scene.frame);
  EXPECT_EQ(
      std::tuple(p.analysis.gis.overlay_flags, after != before, after == view->grabFramebuffer()),
      std::tuple(0x0035, true, true));
  QTest::mouseClick(find_control_as<QCheckBox>(gis, 1014), Qt::LeftButton);
  QTest::keyClick(map_list, Qt::Key_Escape);
  EXPECT_FALSE(gis.isVisible());
  v.command(kCommandShowGisPanel);
  EXPECT_TRUE(gis.isVisible() && find_control_as<QCheckBox>(gis, 1014)->isChecked() &&
              p.analysis.gis.overlay_flags == 0x0037);
  // Three shown, cascaded, the GIS Panel's controls on top; a press on a panel raises it.
  QString shown;
  for (Panel* panel : {panels.gis, panels.query, panels.timeline, panels.info, panels.about})
    shown += panel->accessibleName() + (panel->isVisible() ? "+;" : "-;");
  EXPECT_EQ(shown, "GIS Panel+;Query Panel+;Timeline Panel+;Info Panel-;About Valdrin 1.0d-;");
  const auto topmost = [&](QWidget* widget) {
    QWidget* at = v.window->childAt(widget->mapTo(v.window.get(), widget->rect().center()));
    return at == widget || widget->isAncestorOf(at);
  };
  const auto press = [](QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, {2, 2}); };
  QWidget* timeline_caption = panels.timeline->findChild<QWidget*>("caption");
  QWidget* query_caption = panels.query->findChild<QWidget*>("caption");
  for (QWidget* widget : {find_control(*panels.gis, kGisMapList),
                          find_control(*panels.gis, kZipCodesBox), query_caption, timeline_caption})
    EXPECT_TRUE(topmost(widget)) << widget->objectName().toStdString();
  QWidget* shift_list = find_control(*panels.query, kShiftList);
  press(timeline_caption);
  const bool timeline_over_query = panels.timeline->geometry().contains(
      shift_list->mapTo(v.window.get(), shift_list->rect().center()));
  EXPECT_EQ(std::tuple(topmost(shift_list), timeline_over_query),
            std::tuple(!timeline_over_query, timeline_over_query));
  press(find_control(*panels.gis, kHospitalsBox));
  press(query_caption);
  EXPECT_EQ(std::tuple(topmost(shift_list), topmost(find_control(*panels.gis, kZipCodesBox))),
            std::tuple(true, false));
  press(panels.gis->findChild<QWidget*>("caption"));
  const DialogUnits units = panel_dialog_units();
  const QPoint client = v.window->view()->geometry().topLeft();
  EXPECT_EQ(std::tuple(panels.timeline->pos(), panels.query->pos()),
            std::tuple(client, client + QPoint(dialog_x(units, 20), dialog_y(units, 20))));
  Panel& t = *panels.timeline;
  auto* bar = find_control_as<QProgressBar>(t, 1023);
  EXPECT_EQ(std::tuple(find_control_as<QLabel>(t, 1044)->text(), bar->minimum(), bar->maximum(),
                       bar->value(), bar->palette().color(QPalette::Highlight),
                       find_control_as<QComboBox>(t, 1029)->currentText(),
                       t.play_group()->checkedId(), focus_at_start, v.recorder.log),
            std::tuple("Day,January,1,2000", 0x0085, 0xFE7F, 0x0085, QColor(255, 128, 64), "Day",
                       1019, find_control(*panels.query, 1001), ""));
  // Every item but Quit does its own work and, with every dialog cancelled, says nothing.
  std::string items;
  bool generated = false;
  for (QAction* menu : v.window->menuBar()->actions()) {
    items += menu->text().toStdString() + ":";
    for (QAction* item : menu->menu()->actions()) {
      const int id = item->data().toInt();
      items += item->text().toStdString() + "=" + std::to_string(id) + ";";
      if (id == kCommandQuit) continue;
      p.view.look_at[0] = 7, set_query_field(p.analysis.query, kQueryReason, 3);
      item->trigger();
      generated = generated || id == kCommandGenerateData;
      EXPECT_EQ(
          std::tuple(p.analysis.store.count, p.view.look_at[0],
                     get_query_field(p.analysis.query, kQueryReason)),
          std::tuple(generated ? kGenerateCount : 0u, id == kCommandDefaultLocation ? 42.0f : 7.0f,
                     id == kCommandDefaultQuery ? 0u : 3u))
          << id;
      EXPECT_TRUE(id != kCommandDefaultTime ||
                  (p.analysis.query.key == p.analysis.time.first_key &&
                   p.analysis.time.window_start == p.analysis.time.first_key));
    }
  }
  EXPECT_EQ(items,
            "File:Load Data..=1;Generate Data=2;Save Snapshot..=7;Print..=8;Quit=10;"
            "Location:Default Location=21;Saved Location=22;Time:Default Time=31;Saved Time=32;"
            "Query:Default Query=41;Saved Query=42;Panel:Show GIS Panel=11;Show Query Panel=12;"
            "Show Timeline Panel=13;Show Info Panel=14;Show Analysis Panel=15;Help:About..=6;");
  Panel* about = panels.about;
  EXPECT_EQ(std::tuple(v.recorder.log, panels.info->isVisible(), about->isVisible()),
            std::tuple("", true, true));
  const QRect screen = v.window->screen()->availableGeometry();
  EXPECT_TRUE(about->isWindow() &&
              (about->geometry().center() - screen.center()).manhattanLength() <= 2);
  EXPECT_EQ(find_control_as<QLabel>(*about, 1037)->pixmap().size(), QSize(322, 115));
  QString reference;
  for (uint16_t id = 1049; id <= 1058; ++id)
    reference += find_control_as<QLabel>(*about, id)->text() + "|";
  EXPECT_EQ(reference,
            "Pan view:|Right mouse|Zoom view:|Shift + Right mouse|Move view:|Ctrl + Right mouse|"
            "Control timeline:|Left mouse|Make selection|Ctrl + Left mouse|");
  // Each way out hides it; "About.." shows it where it was.
  for (const int key : {0, +Qt::Key_Return, +Qt::Key_Enter, +Qt::Key_Escape}) {  // 0: "OK"
    v.command(kCommandAbout);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    const QPoint where = about->pos();
    key ? QTest::keyClick(about, Qt::Key(key))
        : find_control_as<QPushButton>(*about, 1036)->click();
    const bool hidden = !about->isVisible();
    v.command(kCommandAbout);
    EXPECT_EQ(std::tuple(hidden, about->pos()), std::tuple(true, where));
    about->hide_panel();
  }
}

// Missing data is said once each and the viewer goes on; Quit and the close box end with 0.
TEST(MainWindow, MissingDataThenQuitOrTheCloseBox) {
  test::ScratchDir empty;
  for (const bool quit : {true, false}) {
    Viewer v(empty.root());
    v.window->on_command(0);  // an unknown command only redraws
    QTest::qWait(50);
    EXPECT_EQ(std::tuple(v.window->isVisible(), v.recorder.log),
              std::tuple(true,
                         "ERROR: init_selection(): can't read selection\n"
                         "ERROR: make_map(): can't read map\n"));
    QTimer::singleShot(
        50, [&] { quit ? v.window->on_command(kCommandQuit) : (void)v.window->close(); });
    const int code = QApplication::exec();
    EXPECT_EQ(std::tuple(code, v.window->isVisible()), std::tuple(0, false));
  }
}

// Set-up runs once; an accessible Toggle plays; completion boxes leave playback and "| |" usable.
TEST(MainWindow, SetUpOnceAccessiblePlayAndCompletionBoxesThatDontBlock) {
  test::ScratchDir dir;
  std::string days;
  for (int day = 1; day <= 28; ++day)
    days += test::record_bytes(test::event_at(pack_time_key(1, day, 1, 0), 20, 30));
  test::write_file(dir.path("days.vdr"), days);
  Viewer v;
  Program& p = *v.program;
  EXPECT_EQ(p.set_up_runs, 1);
  // The view in another window gets a new GL context: only the scene's GL objects are remade.
  QWidget other;
  v.window->view()->setParent(&other);
  other.show(), QTest::qWait(50);
  v.window->view()->setParent(v.window.get());
  v.window->setCentralWidget(v.window->view()), QTest::qWait(50);
  EXPECT_EQ(std::tuple(p.set_up_runs, v.recorder.log), std::tuple(1, ""));

  v.window->timer().stop();
  Panel& t = *p.panels.timeline;
  QAccessibleInterface* play =
      QAccessible::queryAccessibleInterface(find_control(t, kPlayForwardButton));
  ASSERT_TRUE(play != nullptr && play->actionInterface() != nullptr);
  play->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  const uint16_t before = p.analysis.query.key;
  v.window->on_timer(1);
  EXPECT_EQ(
      std::tuple(t.play_group()->checkedId(), p.playback.play_state, p.analysis.query.key > before),
      std::tuple(int{kPlayForwardButton}, kPlayForward, true));
  find_control_as<QPushButton>(t, kPauseButton)->click();

  const MessageSink recorder = set_message_sink(MessageSink{});  // the real boxes, for once
  install_message_boxes();
  v.save_as = dir.path("days.vdr");
  v.window->timer().start();
  v.window->on_command(kCommandLoadData);  // returns with "Load complete" open
  QMessageBox* box = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* b = qobject_cast<QMessageBox*>(widget); b && b->text() == "Load complete") box = b;
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(QTest::qWaitForWindowExposed(box));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  QTest::mouseClick(find_control(t, kPlayForwardButton), Qt::LeftButton);
  const uint16_t loaded = p.analysis.query.key;
  EXPECT_TRUE(QTest::qWaitFor([&] { return p.analysis.query.key > loaded; }, 3000));
  QTest::mouseClick(find_control(t, kPauseButton), Qt::LeftButton);
  EXPECT_EQ(std::tuple(p.playback.play_state, box->isVisible()), std::tuple(kPaused, true));
  box->button(QMessageBox::Ok)->click();
  // An error waits for its OK before the command goes on: two boxes, each answered in turn.
  v.save_as = dir.path("missing.vdr");
  int answered = 0;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    if (auto* modal = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
      ++answered, modal->button(QMessageBox::Ok)->click();
  });
  answer.start(150);
  v.window->on_command(kCommandLoadData);  // "read_records(): fopen error", then "Can't load"
  answer.stop();
  EXPECT_EQ(answered, 2);  // answered only while the command waited on each box
  set_message_sink(recorder);
}

// Ctrl + click puts the exact report in the Info Panel; then real drags and the panels' buttons.
TEST(MainWindow, InfoReportRealMouseEventsPlayStepsPauseStopsAndDefaultQueryResetsLists) {
  // Day 1: three events in cell (20, 30), one beside, one elsewhere; one on day 2.
  test::ScratchDir dir;
  std::string known;
  const uint16_t day1 = pack_time_key(1, 1, 1, 0), day2 = pack_time_key(1, 2, 1, 0);
  for (const Event& e : {test::event_at(day1, 20, 30, 50, 7), test::event_at(day1, 20, 30, 50, 7),
                         test::event_at(day1, 20, 30, 50, 7), test::event_at(day1, 21, 30, 50, 7),
                         test::event_at(day1, 5, 5, 3, 2), test::event_at(day2, 20, 30, 50, 7)})
    known += test::record_bytes(e);
  test::write_file(dir.path("known.vdr"), known);
  Viewer v;
  auto* view = v.window->view();
  Program& p = *v.program;
  v.save_as = dir.path("known.vdr");
  v.window->on_command(kCommandLoadData);
  Panel* info = p.panels.info;
  EXPECT_EQ(std::tuple(v.recorder.log, info->isVisible()),
            std::tuple("Info: Load complete\n", false));
  std::tie(p.view.look_at[0], p.view.look_at[1]) = std::tuple(30.5f, 20.5f);
  const QPoint middle(view->width() / 2, view->height() / 2);
  const std::string report =
      "From: Day,January,1,2000\nTo: Day,January,1,2000\nTotal Events: 5\n"
      "Keymap 0539: 3, 60.00%\nZip Code 77049: 4, 80.00%\nCouncil District G: 4, 80.00%\n\n";
  auto ctrl_click = [&] { drag(view, Qt::LeftButton, {middle}, Qt::ControlModifier); };
  const auto selected = [&] {
    return p.analysis.cells.words[20 * kGridCols + 30][0] & kSelectedBit;
  };
  // Resting there first shows the cell's read-out and changes nothing.
  const uint16_t window_end = p.analysis.query.key;
  send_mouse(view, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, middle);
  QTest::qWait(800);
  EXPECT_EQ(
      std::tuple(QToolTip::isVisible(), QToolTip::text().toStdString(), p.pointer.last_x,
                 p.analysis.query.key, selected()),
      std::tuple(true,
                 "Row 20, Column 30\nEvents: 3\nKeymap 0539\nZip Code 77049\nCouncil District G", 0,
                 window_end, 0u));
  ctrl_click();
  auto* text = find_control_as<QPlainTextEdit>(*info, 1035);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::tuple(QToolTip::isVisible(), info->isVisible(), text->toPlainText().toStdString(),
                       selected() != 0),
            std::tuple(false, true, report, true));
  // Hidden by Esc, back with the next report, which lands below the first.
  QTest::keyClick(text, Qt::Key_Escape);
  EXPECT_FALSE(info->isVisible());
  ctrl_click();
  EXPECT_EQ(std::tuple(info->isVisible(), text->toPlainText().toStdString()),
            std::tuple(true, report + report));

  v.save_as = dir.path("empty.txt");
  find_control_as<QPushButton>(*info, 1045)->click();
  find_control_as<QPushButton>(*info, 1046)->click();
  EXPECT_EQ(std::tuple(text->toPlainText(), test::read_file(dir.path("empty.txt")), v.recorder.log),
            std::tuple("", "", "Info: Load complete\nInfo: Save complete\n"));

  v.recorder.log.clear();  // buttons, modifiers and positions in device pixels reach the rules
  uint16_t expected = p.analysis.query.key;
  step_time_forward(expected, kStepDay);
  drag(view, Qt::RightButton, {{100, 100}, {150, 80}});
  drag(view, Qt::RightButton, {{150, 80}, {150, 100}}, Qt::ShiftModifier);
  drag(view, Qt::LeftButton, {{150, 100}, {190, 100}});
  // Turns and zooms go by device pixels: twice as far on a screen of pixel ratio 2.
  const float ratio = static_cast<float>(view->devicePixelRatioF());
  EXPECT_EQ(std::tuple(p.view.heading, p.view.tilt, p.view.distance, p.analysis.query.key),
            std::tuple(-50.0f * ratio, 20.0f * ratio, 100.0f + 20.0f * ratio, expected));
  const int16_t width = p.view.viewport_width, height = p.view.viewport_height;
  p.view = ViewState{};
  resize_camera(p.view, width, height);
  drag(view, Qt::RightButton, {{view->width() / 2, view->height() / 2}}, Qt::ControlModifier);
  EXPECT_TRUE(std::abs(p.view.look_at[0] - 42) <= 1 && std::abs(p.view.look_at[1] - 33) <= 1 &&
              p.view.look_at[0] - static_cast<int>(p.view.look_at[0]) == 0.5f);
  v.window->timer().stop();
  v.command(kCommandGenerateData);
  Panel& t = *p.panels.timeline;
  const uint16_t start = p.analysis.query.key;
  find_control_as<QPushButton>(t, 1018)->click();  // ">": the first step waits for a tick
  v.window->timer().start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return p.analysis.query.key > start; }, 3000));
  v.window->timer().stop();
  // Ticks redraw only what they changed, in the frame the widget keeps.
  for (int k = 0; k < 4; ++k) v.window->on_timer(1), view->grabFramebuffer();
  const QImage stepped = view->grabFramebuffer();
  forget_frame(p.scene.frame);
  EXPECT_TRUE(stepped == view->grabFramebuffer());
  const uint16_t reached = p.analysis.query.key;
  EXPECT_EQ(find_control_as<QProgressBar>(t, 1023)->palette().color(QPalette::Highlight),
            QColor(49, 106, 197));                 // the ticks refreshed the bar
  find_control_as<QPushButton>(t, 1019)->click();  // "| |"
  v.window->on_timer(1);
  EXPECT_EQ(p.analysis.query.key, reached);
  // "<" by keyboard: the arrow moves within the group and presses it.
  find_control(t, 1019)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
  v.window->on_timer(1);
  EXPECT_EQ(std::tuple(t.play_group()->checkedId(), p.analysis.query.key < reached, v.recorder.log),
            std::tuple(1020, true, ""));

  v.command(kCommandDefaultTime);
  find_control_as<QPushButton>(t, 1039)->click();  // a year of events
  const uint32_t all = p.analysis.counts.total;
  // Down on a closed list is a user's choice; moving the focus is not.
  for (uint16_t id : {1001, 1002, 1006, 1010}) {
    auto* list = find_control_as<QComboBox>(*p.panels.query, id);
    list->setFocus();
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Tab}) QTest::keyClick(list, key);
  }
  EXPECT_TRUE(p.analysis.query.incident == 2u && p.analysis.query.suspect != 0u &&
              p.analysis.counts.total < all);
  v.command(kCommandDefaultQuery);
  for (const QueryField& field : kQueryFields) {
    auto* list = find_control_as<QComboBox>(*p.panels.query, kQueryLists[&field - kQueryFields]);
    EXPECT_EQ(std::tuple(list->currentText(), list->count()), std::tuple("ALL", field.item_count));
  }
  EXPECT_EQ(
      std::tuple(p.analysis.query.incident | p.analysis.query.officer | p.analysis.query.suspect,
                 p.analysis.counts.total),
      std::tuple(0u, all));
}

std::string output_of(const std::string& command, const std::string& to) {
  return std::system((command + " > '" + to + "'").c_str()) == 0 ? test::read_file(to) : "";
}

// Timer 1 is off while a dialog is open and back after every way out; then a snapshot, a print.
TEST(Snapshot, WaysOutThenTheViewToBmpAndPdf) {
  test::ScratchDir dir;
  Viewer v;
  Program& p = *v.program;
  constexpr int kShot = kCommandSaveSnapshot, kPrint = kCommandPrint;
  const char* small = "Error: The view is too small to print (at least 2 x 2 pixels)!\n";
  const auto across = &ViewState::viewport_width, down = &ViewState::viewport_height;
  // clang-format off
  struct Case { int command; const char *save_as, *pdf; int16_t ViewState::*side; int dialogs;
                const char* said; };
  const Case cases[] = {  // "" and nullptr cancel
      {kShot, "", nullptr, nullptr, 1, ""},
      {kShot, "no/such/shot.bmp", nullptr, nullptr, 1, "Error: Can't save snapshot file!!\n"},
      {kShot, "shot.bmp", nullptr, down, 0, "Error: The view has no area to capture!\n"},
      {kPrint, "", nullptr, nullptr, 1, ""},
      {kPrint, "", "no/such/page.pdf", nullptr, 1, "Error: Cannot start the printout! (owned)\n"},
      {kPrint, "", "page.pdf", across, 0, small}, {kPrint, "", "page.pdf", down, 0, small}};
  // clang-format on
  const ViewState kept = p.view;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    v.save_as = *c.save_as ? dir.path(c.save_as) : "";
    v.print_to = c.pdf ? dir.path(c.pdf) : "";
    if (c.side) p.view.*c.side = c.command == kCommandPrint ? 1 : 0;
    v.recorder.log.clear(), v.dialogs_opened = 0;
    v.window->on_command(c.command);
    EXPECT_EQ(std::tuple(v.timer_ran_in_dialog, v.window->timer().isActive(), v.dialogs_opened,
                         v.recorder.log),
              std::tuple(false, true, c.dialogs, c.said));
    EXPECT_TRUE(std::filesystem::is_empty(dir.root()));
    p.view = kept;
  }
  v.recorder.log.clear(), v.dialogs_opened = 0;
  PanelWindows& panels = p.panels;
  panels.query->hide_panel();
  v.save_as = dir.path("shot");  // the chooser appends ".bmp"
  v.window->on_command(kCommandSaveSnapshot);
  EXPECT_EQ(std::tuple(v.recorder.log, v.dialogs_opened, v.timer_ran_in_dialog),
            std::tuple("Info: Save complete\n", 1, false));
  std::string shown;
  for (Panel* panel : {panels.gis, panels.query, panels.timeline, panels.info, panels.about})
    shown += panel->isVisible() ? '1' : '0';
  EXPECT_EQ(shown, "10100");

  Image shot;
  ASSERT_EQ(read_bmp(dir.path("shot.bmp").c_str(), shot), 1);
  // The whole view bottom row first, in device pixels at any ratio, without the panels over it.
  const QImage view = v.window->view()->grabFramebuffer();
  ASSERT_EQ(std::tuple(shot.width, shot.height, view.width(), view.height()),
            std::tuple(p.view.viewport_width, p.view.viewport_height, shot.width, shot.height));
  const QImage file(shot.pixels, shot.width, shot.height, shot.width * 3, QImage::Format_RGB888);
  EXPECT_TRUE(file.mirrored() == view.convertToFormat(QImage::Format_RGB888));
  free_image(shot);
  v.recorder.log.clear();
  // The grid's first row across the view's middle: clear grey below it, the map above.
  p.view.look_at[1] = 0;
  const std::string pdf = v.print_to = dir.path("page.pdf");
  v.window->on_command(kCommandPrint);
  EXPECT_EQ(v.recorder.log, "Info: Print spooled\n");
  const std::string info = output_of("pdfinfo '" + pdf + "'", dir.path("info.txt"));
  EXPECT_TRUE(std::regex_search(info, std::regex("\nPages: +1\n"))) << info;
  EXPECT_TRUE(std::regex_search(info, std::regex("(^|\n)Title: +Valdrin1.0c printout\n"))) << info;

  output_of("pdftoppm -r 72 -singlefile '" + pdf + "' '" + dir.path("page") + "'", dir.path("log"));
  const QImage render(QString::fromStdString(dir.path("page.ppm")));
  ASSERT_FALSE(render.isNull());
  int left = render.width(), right = -1, top = render.height(), bottom = -1;
  for (int y = 0; y < render.height(); ++y)
    for (int x = 0; x < render.width(); ++x)
      if (qGray(render.pixel(x, y)) < 240)
        std::tie(left, right, top, bottom) = std::tuple(std::min(left, x), std::max(right, x),
                                                        std::min(top, y), std::max(bottom, y));
  const double width = right - left + 1, height = bottom - top + 1;
  // Centred, as wide as the printable area (a point is a pixel at 72 dpi), in proportion.
  const double proportion = 1.0 * p.view.viewport_width / p.view.viewport_height;
  EXPECT_TRUE(std::abs(left + width / 2 - v.printable.center().x()) <= 1.5 &&
              std::abs(top + height / 2 - v.printable.center().y()) <= 1.5 &&
              std::abs(width - v.printable.width()) <= 2 &&
              std::abs(width / height - proportion) <= 0.02)
      << left << " " << top << " " << width << " " << height;
  // Upright: grey at the bottom, the map at the top.
  const QRgb low = render.pixel(left + static_cast<int>(width / 2), bottom - 5);
  EXPECT_TRUE(std::abs(qRed(low) - 127) <= 4 && std::abs(qBlue(low) - 127) <= 4) << std::hex << low;
  const QRgb high = render.pixel(left + static_cast<int>(width / 2), top + 5);
  EXPECT_GT(std::abs(qRed(high) - 127) + std::abs(qGreen(high) - 127), 20) << std::hex << high;
  // Qt's own print dialog prints to the PDF file chosen in it.
  p.services.run_print_dialog = v.real_print_dialog;
  const std::string chosen = dir.path("chosen.pdf");
  QTimer answer;  // answers the dialog once it is up, however long that takes
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    answer.stop();
    for (QLineEdit* name : dialog->findChildren<QLineEdit*>("filename"))
      name->setText(QString::fromStdString(chosen));
    dialog->accept();
  });
  answer.start(50);
  v.window->on_command(kCommandPrint);
  EXPECT_EQ(v.recorder.log, "Info: Print spooled\nInfo: Print spooled\n");
  EXPECT_TRUE(std::regex_search(output_of("pdfinfo '" + chosen + "'", dir.path("info.txt")),
                                std::regex("\nPages: +1\n")));
}

// A dropped local .vdr file loads as "Load Data.." does, after the drop; nothing else is taken.
TEST(MainWindow, ADroppedVdrFileLoads) {
  test::ScratchDir dir;
  static EventStore store;  // too big for the stack
  store.count = 0;
  for (int day = 1; day <= 3; ++day)
    store.records[store.count++] = test::event_at(pack_time_key(1, day, 1, 0), 20, 30);
  ASSERT_EQ(write_records(dir.path("three.VDR").c_str(), store), 1);
  Viewer v;
  const auto urls = [](const QStringList& names) {
    auto* data = new QMimeData;
    QList<QUrl> list;
    for (const QString& name : names) list << QUrl(name);
    data->setUrls(list);
    return data;
  };
  const QString three =
      QUrl::fromLocalFile(QString::fromStdString(dir.path("three.VDR"))).toString();
  const std::pair<QStringList, bool> drags[] = {{{"file:///tmp/notes.txt"}, false},
                                                {{"https://example.org/x.vdr"}, false},
                                                {{"file:///tmp/notes.txt", three}, true}};
  const QPoint at = v.window->rect().center();
  for (const auto& [names, taken] : drags) {
    std::unique_ptr<QMimeData> data(urls(names));
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.window.get(), &enter);
    EXPECT_EQ(enter.isAccepted(), taken) << names.join(" ").toStdString();
    if (!taken) continue;
    QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.window.get(), &drop);
    EXPECT_EQ(v.program->analysis.store.count, 0u);  // not inside the drop
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return v.program->analysis.store.count == 3; }, 3000));
  EXPECT_EQ(std::tuple(v.recorder.log, v.program->analysis.query.key),
            std::tuple("Info: Load complete\n", pack_time_key(1, 1, 1, 0)));
}

// Saved settings show at start-up (a place off the window as a first start), read back as saved.
TEST(MainWindow, SavedSettingsShowAtStartUpAndReadBack) {
  test::ScratchDir dir;
  ViewerSettings saved;
  saved.window_size = QSize(900, 700);
  saved.panels[0] = {QPoint(300, 200), false};  // GIS Panel
  saved.panels[1] = {QPoint(5000, 40), true};   // Query Panel: off the window
  saved.panels[3] = {QPoint(120, 260), true};   // Info Panel
  saved.step_unit = kStepYear, saved.map_choice = 1, saved.selection_mode = 2;
  saved.overlay_flags = 0x0001, saved.dialog_folder = dir.root();
  const QPoint query_at = Viewer().program->panels.query->pos();
  Viewer v(VALDRIN_SOURCE_DIR "/data", &saved);
  const PanelWindows& p = v.program->panels;
  EXPECT_EQ(
      std::tuple(v.window->size(), p.gis->isVisible(), p.gis->pos(), p.query->isVisible(),
                 p.query->pos(), p.info->isVisible(), p.info->pos()),
      std::tuple(QSize(900, 700), false, QPoint(300, 200), true, query_at, true, QPoint(120, 260)));
  EXPECT_EQ(std::tuple(find_control_as<QComboBox>(*p.timeline, kStepUnitList)->currentText(),
                       find_control_as<QComboBox>(*p.gis, kGisMapList)->currentText(),
                       find_control_as<QComboBox>(*p.gis, kGisSelectionList)->currentText(),
                       find_control_as<QCheckBox>(*p.gis, kOverlayCheckBoxes[0])->isChecked(),
                       v.program->dialogs.dialog_directory),
            std::tuple("Year", "City Council", "Zip Code", true, dir.root()));
  const QVariantMap shown = settings_values(current_settings(*v.program, *v.window));
  for (int id : {kCommandDefaultLocation, kCommandDefaultTime, kCommandDefaultQuery}) v.command(id);
  saved.panels[1].place = query_at;
  // What was not saved (window place, Timeline Panel, About box) is as a first start has it.
  QVariantMap expected = settings_values(saved);
  for (auto key = shown.begin(); key != shown.end(); ++key)
    if (!expected.contains(key.key())) expected[key.key()] = key.value();
  EXPECT_EQ(settings_values(current_settings(*v.program, *v.window)), expected);
  EXPECT_EQ(shown, expected);
}

}  // namespace valdrin::window_test

int main(int argc, char** argv) {
  valdrin::set_default_surface_format();
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
