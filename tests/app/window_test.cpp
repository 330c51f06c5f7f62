// The main window in a real X session (run under Xvfb): its title, frame
// size and start-up state, and the two ways out.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSurfaceFormat>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/main_window.h"
#include "tests/core/test_files.h"

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
