// The panels in the running viewer (under Xvfb): start-up state, closing
// and showing again, the keyboard, playback on the timer, Default Query.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSurfaceFormat>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/main_window.h"
#include "panels/panel.h"
#include "tests/core/test_files.h"

namespace valdrin {
namespace {

const std::string kShippedData = std::string(VALDRIN_SOURCE_DIR) + "/data";

// Counts the key events that reach the 3-D view.
class KeyCounter : public QObject {
 public:
  int keys = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) ++keys;
    return false;
  }
};

struct Viewer {
  test::MessageRecorder recorder;
  std::unique_ptr<Program> program = std::make_unique<Program>();
  std::unique_ptr<MainWindow> window;
  KeyCounter view_keys;

  Viewer() {
    program->data_dir = kShippedData;
    window = std::make_unique<MainWindow>(*program);
    window->timer().stop();  // the tests tick by hand, except where they wait for it
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(QTest::qWaitFor([this] { return program->panels.about != nullptr; }, 5000));
    window->view()->installEventFilter(&view_keys);
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  Panel& timeline() { return *program->panels.timeline; }
  Panel& query() { return *program->panels.query; }

  void command(int id) {
    for (QAction* menu : window->menuBar()->actions())
      for (QAction* item : menu->menu()->actions())
        if (item->data().toInt() == id) item->trigger();
  }
};

QColor bar_colour(Panel& timeline) {
  return find_control_as<QProgressBar>(timeline, 1023)->palette().color(QPalette::Highlight);
}

TEST(Panels, StartUpStateOrderAndPlaces) {
  Viewer v;
  const PanelWindows& p = v.program->panels;
  Panel* in_order[] = {p.gis, p.query, p.timeline, p.info, p.about};
  const char* captions[] = {"GIS Panel", "Query Panel", "Timeline Panel", "Info Panel",
                            "About Valdrin 1.0d"};
  const bool visible[] = {true, true, true, false, false};
  for (int i = 0; i < 5; ++i) {
    ASSERT_NE(in_order[i], nullptr) << i;
    EXPECT_EQ(in_order[i]->accessibleName(), captions[i]);
    EXPECT_EQ(in_order[i]->isVisible(), visible[i]) << captions[i];
  }
  // Created in order: later siblings stand above earlier ones.
  const QObjectList children = v.window->children();
  EXPECT_LT(children.indexOf(p.gis), children.indexOf(p.query));
  EXPECT_LT(children.indexOf(p.query), children.indexOf(p.timeline));
  EXPECT_LT(children.indexOf(p.timeline), children.indexOf(p.info));
  // Child panels sit at their template places from the client area's top
  // left, over the view.
  const DialogUnits units = panel_dialog_units();
  const QPoint client = v.window->view()->geometry().topLeft();
  EXPECT_EQ(p.timeline->pos(), client);
  EXPECT_EQ(p.query->pos(), client + QPoint(dialog_x(units, 20), dialog_y(units, 20)));

  Panel& t = v.timeline();
  EXPECT_EQ(find_control_as<QLabel>(t, 1044)->text(), "Day,January,1,2000");
  auto* bar = find_control_as<QProgressBar>(t, 1023);
  EXPECT_EQ(bar->minimum(), 0x0085);
  EXPECT_EQ(bar->maximum(), 0xFE7F);
  EXPECT_EQ(bar->value(), bar->minimum());
  EXPECT_EQ(bar_colour(t), QColor(255, 128, 64));
  EXPECT_EQ(find_control_as<QComboBox>(t, 1029)->currentText(), "Day");
  EXPECT_EQ(t.play_group()->checkedId(), 1019);
  EXPECT_EQ(find_control_as<QPushButton>(t, 1019)->text(), "| |");

  for (const QueryField& field : kQueryFields) {
    auto* list = find_control_as<QComboBox>(v.query(), field.list_id);
    ASSERT_NE(list, nullptr) << field.list_id;
    EXPECT_EQ(list->count(), field.item_count);
    EXPECT_EQ(list->currentText(), "ALL");
  }
  EXPECT_EQ(QApplication::focusWidget(), find_control(v.query(), 1001));
  EXPECT_TRUE(v.recorder.messages.empty());
}

TEST(Panels, EscHidesShowBringsBackWithSelectionsKeysStayOffTheView) {
  Viewer v;
  auto* division = find_control_as<QComboBox>(v.query(), 1011);
  division->setFocus();
  const QPoint place = v.query().pos();
  // Down on a closed list is a user's choice: "Airport", code 1.
  QTest::keyClick(division, Qt::Key_Down);
  EXPECT_EQ(get_query_field(v.program->query, kQueryDivision), 1u);
  QTest::keyClick(division, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), find_control(v.query(), 1012));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), division);
  // Moving the focus chose nothing.
  EXPECT_EQ(v.program->query.incident, 1u << 2);
  EXPECT_EQ(v.program->query.officer | v.program->query.suspect, 0u);

  QTest::keyClick(division, Qt::Key_Escape);
  EXPECT_FALSE(v.query().isVisible());
  EXPECT_TRUE(v.timeline().isVisible());
  EXPECT_EQ(v.view_keys.keys, 0);

  v.command(kCommandShowQueryPanel);
  EXPECT_TRUE(v.query().isVisible());
  EXPECT_EQ(v.query().pos(), place);
  EXPECT_EQ(division->currentText(), "Airport");
  EXPECT_EQ(get_query_field(v.program->query, kQueryDivision), 1u);

  // The close box of the Timeline Panel, then its menu item.
  auto* unit = find_control_as<QComboBox>(v.timeline(), 1029);
  unit->setFocus();
  QTest::keyClick(unit, Qt::Key_Down);  // "Month"
  EXPECT_EQ(v.program->playback.step_unit, kStepMonth);
  v.timeline().close_box()->click();
  EXPECT_FALSE(v.timeline().isVisible());
  v.command(kCommandShowTimelinePanel);
  EXPECT_TRUE(v.timeline().isVisible());
  EXPECT_EQ(unit->currentText(), "Month");
  EXPECT_EQ(v.view_keys.keys, 0);

  // Info Panel and About box come up from the menu.
  v.command(kCommandShowInfoPanel);
  EXPECT_TRUE(v.program->panels.info->isVisible());
  v.command(kCommandAbout);
  EXPECT_TRUE(v.program->panels.about->isVisible());
}

TEST(Panels, PlayStepsOnTheTicksAndPauseStops) {
  Viewer v;
  v.command(kCommandGenerateData);
  v.recorder.messages.clear();
  Panel& t = v.timeline();
  const uint16_t start = v.program->query.key;
  find_control_as<QPushButton>(t, 1046)->click();  // "[ .. ]"
  find_control_as<QPushButton>(t, 1018)->click();  // ">"
  EXPECT_EQ(v.program->query.key, start);          // the first step waits for a tick
  EXPECT_EQ(t.play_group()->checkedId(), 1018);

  v.window->timer().start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return v.program->query.key != start; }, 3000));
  v.window->timer().stop();
  uint16_t expected = start;
  step_time_forward(expected, kStepDay);
  const uint16_t reached = v.program->query.key;
  EXPECT_GE(reached, expected);
  char label[kDateLabelSize];
  format_time_key(reached, label);
  EXPECT_EQ(find_control_as<QLabel>(t, 1044)->text(), label);
  EXPECT_EQ(bar_colour(t), QColor(49, 106, 197));  // the window has grown
  EXPECT_GT(v.program->counts.total, 0u);

  find_control_as<QPushButton>(t, 1019)->click();  // "| |"
  v.window->on_timer(1);
  v.window->on_timer(1);
  EXPECT_EQ(v.program->query.key, reached);

  // "<" by keyboard: the arrow moves within the group and presses it.
  find_control(t, 1019)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
  EXPECT_EQ(t.play_group()->checkedId(), 1020);
  v.window->on_timer(1);
  EXPECT_LT(v.program->query.key, reached);
  v.window->on_timer(2);  // another timer: nothing
  EXPECT_EQ(v.view_keys.keys, 0);
  EXPECT_TRUE(v.recorder.messages.empty());
}

TEST(Panels, DefaultQuerySetsEveryListBackToAll) {
  Viewer v;
  v.command(kCommandGenerateData);
  v.command(kCommandDefaultTime);
  find_control_as<QPushButton>(v.timeline(), 1039)->click();  // a year of events
  const uint32_t all = v.program->counts.total;
  for (uint16_t id : {1001, 1002, 1006, 1010}) {
    auto* list = find_control_as<QComboBox>(v.query(), id);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
  }
  EXPECT_NE(v.program->query.suspect, 0u);
  EXPECT_LT(v.program->counts.total, all);
  v.command(kCommandDefaultQuery);
  for (const QueryField& field : kQueryFields)
    EXPECT_EQ(find_control_as<QComboBox>(v.query(), field.list_id)->currentText(), "ALL")
        << field.list_id;
  EXPECT_EQ(v.program->query.incident | v.program->query.officer | v.program->query.suspect, 0u);
  EXPECT_EQ(v.program->counts.total, all);
}

}  // namespace
}  // namespace valdrin

int main(int argc, char** argv) {
  QSurfaceFormat format;
  format.setDepthBufferSize(24);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  QSurfaceFormat::setDefaultFormat(format);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
