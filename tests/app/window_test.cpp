// The main window in a real X session (run under Xvfb): its title, frame
// size and start-up state, and the two ways out.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSurfaceFormat>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/main_window.h"
#include "tests/core/test_files.h"
#include "view/camera.h"

namespace valdrin {
namespace {

const std::string kShippedData = std::string(VALDRIN_SOURCE_DIR) + "/data";

struct Viewer {
  test::MessageRecorder recorder;
  std::unique_ptr<Program> program = std::make_unique<Program>();
  std::unique_ptr<MainWindow> window;

  explicit Viewer(const std::string& data_dir) {
    program->data_dir = data_dir;
    window = std::make_unique<MainWindow>(*program);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
};

TEST(MainWindow, TitleFrameAndStartUpState) {
  Viewer v(kShippedData);
  EXPECT_EQ(v.window->windowTitle(), "Valdrin 1.0d");
  EXPECT_EQ(v.window->objectName(), "mainw");
  QTest::qWait(50);
  EXPECT_EQ(v.window->frameGeometry().size(), QSize(1024, 768));
  EXPECT_EQ(v.window->centralWidget(), v.window->view());
  // The scene came up with the cell table, and the time-window reset ran:
  // an empty store's First key with its Day shift is the Window end.
  EXPECT_TRUE(v.recorder.messages.empty());
  EXPECT_NE(v.program->cells.words[33 * kGridCols + 42][0], 0u);
  EXPECT_EQ(v.program->query.key, 0x0085);
  EXPECT_EQ(v.program->view.viewport_width,
            v.window->view()->width() * v.window->devicePixelRatio());
}

TEST(MainWindow, QuitCommandEndsTheLoopWithZero) {
  Viewer v(kShippedData);
  QTimer::singleShot(50, [&] { v.window->on_command(kCommandQuit); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(v.window->isVisible());
}

TEST(MainWindow, CloseBoxEndsTheLoopWithZero) {
  Viewer v(kShippedData);
  QTimer::singleShot(50, [&] { v.window->close(); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(v.window->isVisible());
}

TEST(MainWindow, MissingDataGivesEachMessageOnceAndGoesOn) {
  test::ScratchDir empty;
  Viewer v(empty.root());
  QTest::qWait(50);
  ASSERT_EQ(v.recorder.messages.size(), 2u);
  EXPECT_EQ(v.recorder.messages[0].second, "init_selection(): can't read selection");
  EXPECT_EQ(v.recorder.messages[1].second, "make_map(): can't read map");
  v.window->on_command(0);  // an unknown command only redraws
  QTest::qWait(50);
  EXPECT_TRUE(v.window->isVisible());
  EXPECT_EQ(v.recorder.messages.size(), 2u);
}

void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button,
                Qt::MouseButtons buttons, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
  QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons,
                    modifiers);
  QApplication::sendEvent(widget, &event);
}

TEST(MainWindow, RealMouseEventsSteerTheViewAndTheTimeline) {
  Viewer v(kShippedData);
  QTest::qWait(50);
  QWidget* view = v.window->view();
  const uint16_t start = v.program->query.key;

  send_mouse(view, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {100, 100});
  send_mouse(view, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {150, 80});
  send_mouse(view, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {150, 80});
  EXPECT_EQ(v.program->view.heading, -50);
  EXPECT_EQ(v.program->view.tilt, 20);

  send_mouse(view, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {150, 80},
             Qt::ShiftModifier);
  send_mouse(view, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {150, 100}, Qt::ShiftModifier);
  send_mouse(view, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, {150, 100});
  EXPECT_EQ(v.program->view.distance, 120);

  // A left drag right steps the Window end by one day, then one back.
  send_mouse(view, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {150, 100});
  send_mouse(view, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {190, 100});
  uint16_t expected = start;
  step_time_forward(expected, kStepDay);
  EXPECT_EQ(v.program->query.key, expected);
  send_mouse(view, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {185, 140});
  EXPECT_EQ(v.program->query.key, start);
  send_mouse(view, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {185, 140});
  EXPECT_EQ(v.program->pointer.last_x, 185);

  // Ctrl + right press on the middle of the default view re-centres there.
  const int16_t width = v.program->view.viewport_width, height = v.program->view.viewport_height;
  v.program->view = ViewState{};
  resize_frustum(v.program->view, width, height);
  const QPoint middle(view->width() / 2, view->height() / 2);
  send_mouse(view, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, middle,
             Qt::ControlModifier);
  send_mouse(view, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, middle);
  EXPECT_NEAR(v.program->view.look_at[0], 42, 1.0);
  EXPECT_NEAR(v.program->view.look_at[1], 33, 1.0);
  EXPECT_EQ(v.program->view.look_at[0] - static_cast<int>(v.program->view.look_at[0]), 0.5f);
}

TEST(MainWindow, EveryMenuCommand) {
  Viewer v(kShippedData);
  v.program->dialogs.run = [](bool, const std::string&, const std::string&) {
    return std::string();
  };
  v.program->run_print_dialog = [](QPrinter&) { return 0; };
  QTest::qWait(50);
  const QList<QAction*> menus = v.window->menuBar()->actions();
  QStringList titles;
  for (QAction* menu : menus) titles << menu->text();
  EXPECT_EQ(titles, QStringList({"File", "Location", "Time", "Query", "Panel", "Help"}));
  std::vector<std::pair<std::string, int>> items;
  for (QAction* menu : menus)
    for (QAction* item : menu->menu()->actions())
      items.emplace_back(item->text().toStdString(), item->data().toInt());
  const std::vector<std::pair<std::string, int>> expected = {{"Load Data..", 1},
                                                             {"Generate Data", 2},
                                                             {"Save Snapshot..", 7},
                                                             {"Print..", 8},
                                                             {"Quit", 10},
                                                             {"Default Location", 21},
                                                             {"Saved Location", 22},
                                                             {"Default Time", 31},
                                                             {"Saved Time", 32},
                                                             {"Default Query", 41},
                                                             {"Saved Query", 42},
                                                             {"Show GIS Panel", 11},
                                                             {"Show Query Panel", 12},
                                                             {"Show Timeline Panel", 13},
                                                             {"Show Info Panel", 14},
                                                             {"About..", 6}};
  EXPECT_EQ(items, expected);

  QAction* quit = nullptr;
  for (QAction* menu : menus)
    for (QAction* item : menu->menu()->actions()) {
      if (item->data().toInt() == kCommandQuit) {
        quit = item;
        continue;
      }
      v.program->view.look_at[0] = 7;
      set_query_field(v.program->query, kQueryReason, 3);
      item->trigger();
      const int id = item->data().toInt();
      switch (id) {
        case kCommandGenerateData: EXPECT_EQ(v.program->store.count, kGenerateCount); break;
        case kCommandDefaultLocation: EXPECT_EQ(v.program->view.look_at[0], 42); break;
        case kCommandSavedLocation: EXPECT_EQ(v.program->view.look_at[0], 7); break;
        case kCommandDefaultTime:
          EXPECT_EQ(v.program->query.key, v.program->time.first_key);
          EXPECT_EQ(v.program->time.window_start, v.program->time.first_key);
          break;
        case kCommandDefaultQuery: EXPECT_EQ(v.program->query.suspect, 0u); break;
        default: break;
      }
    }
  EXPECT_TRUE(v.recorder.messages.empty());
  ASSERT_NE(quit, nullptr);
  QTimer::singleShot(20, quit, &QAction::trigger);
  EXPECT_EQ(QApplication::exec(), 0);
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
