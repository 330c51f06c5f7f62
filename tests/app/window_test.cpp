// The main window in a real X session (run under Xvfb): its title, frame
// size and start-up state, the two ways out, real mouse events and every
// menu command.
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
#include <tuple>

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

// The Quit command and the close box both end the loop with 0.
TEST(MainWindow, QuitAndTheCloseBoxEndTheLoopWithZero) {
  for (const bool quit : {true, false}) {
    Viewer v(kShippedData);
    QTimer::singleShot(50, [&] {
      if (quit)
        v.window->on_command(kCommandQuit);
      else
        v.window->close();
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(v.window->isVisible());
  }
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

// Presses at the first point of `path`, moves through the others and
// releases at the last.
void drag(QWidget* widget, Qt::MouseButton button, std::initializer_list<QPoint> path,
          Qt::KeyboardModifiers modifiers = {}) {
  auto send = [&](QEvent::Type type, Qt::MouseButton changed, Qt::MouseButtons held, QPoint at) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), changed, held,
                      modifiers);
    QApplication::sendEvent(widget, &event);
  };
  send(QEvent::MouseButtonPress, button, button, *path.begin());
  for (auto at = path.begin() + 1; at != path.end(); ++at)
    send(QEvent::MouseMove, Qt::NoButton, button, *at);
  send(QEvent::MouseButtonRelease, button, Qt::NoButton, *(path.end() - 1));
}

// Qt's mouse events reach the rules with their buttons, modifiers and
// positions in device pixels: a turn, a zoom, a day step and a re-centre.
TEST(MainWindow, RealMouseEventsSteerTheViewAndTheTimeline) {
  Viewer v(kShippedData);
  QTest::qWait(50);
  QWidget* view = v.window->view();
  Program& p = *v.program;
  uint16_t expected = p.query.key;
  step_time_forward(expected, kStepDay);
  drag(view, Qt::RightButton, {{100, 100}, {150, 80}});
  drag(view, Qt::RightButton, {{150, 80}, {150, 100}}, Qt::ShiftModifier);
  drag(view, Qt::LeftButton, {{150, 100}, {190, 100}});
  EXPECT_EQ(std::tuple(p.view.heading, p.view.tilt, p.view.distance, p.query.key),
            std::tuple(-50.0f, 20.0f, 120.0f, expected));
  const int16_t width = p.view.viewport_width, height = p.view.viewport_height;
  p.view = ViewState{};
  resize_frustum(p.view, width, height);
  drag(view, Qt::RightButton, {{view->width() / 2, view->height() / 2}}, Qt::ControlModifier);
  EXPECT_NEAR(p.view.look_at[0], 42, 1.0);
  EXPECT_NEAR(p.view.look_at[1], 33, 1.0);
  EXPECT_EQ(p.view.look_at[0] - static_cast<int>(p.view.look_at[0]), 0.5f);
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
  std::string items;
  for (QAction* menu : menus)
    for (QAction* item : menu->menu()->actions())
      items += item->text().toStdString() + "=" + std::to_string(item->data().toInt()) + ";";
  EXPECT_EQ(items,
            "Load Data..=1;Generate Data=2;Save Snapshot..=7;Print..=8;Quit=10;"
            "Default Location=21;Saved Location=22;Default Time=31;Saved Time=32;"
            "Default Query=41;Saved Query=42;Show GIS Panel=11;Show Query Panel=12;"
            "Show Timeline Panel=13;Show Info Panel=14;About..=6;");

  // Every item but Quit (tried above) does its own work and says nothing.
  bool generated = false;
  for (QAction* menu : menus)
    for (QAction* item : menu->menu()->actions()) {
      const int id = item->data().toInt();
      if (id == kCommandQuit) continue;
      Program& p = *v.program;
      p.view.look_at[0] = 7;
      set_query_field(p.query, kQueryReason, 3);
      item->trigger();
      generated = generated || id == kCommandGenerateData;
      EXPECT_EQ(p.store.count, generated ? kGenerateCount : 0u) << id;
      EXPECT_EQ(p.view.look_at[0], id == kCommandDefaultLocation ? 42 : 7) << id;
      EXPECT_EQ(get_query_field(p.query, kQueryReason), id == kCommandDefaultQuery ? 0u : 3u);
      if (id == kCommandDefaultTime) {
        EXPECT_EQ(p.query.key, p.time.first_key);
        EXPECT_EQ(p.time.window_start, p.time.first_key);
      }
    }
  EXPECT_TRUE(v.recorder.messages.empty());
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
