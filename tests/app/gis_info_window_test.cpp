// The GIS Panel, Info Panel and About box in the running viewer (under
// Xvfb): a Ctrl + left press on a known cell of a known data set puts the
// exact report into the Info Panel, which comes back when hidden; "Zip
// Codes" changes the map texture, and a missing chosen overlay is named
// once per rebuild while the others still show; the About box's contents
// and ways out.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSurfaceFormat>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "core/store.h"
#include "panels/panel.h"
#include "tests/core/example_event.h"
#include "tests/core/test_files.h"
#include "view/gis_commands.h"

namespace valdrin {
namespace {

namespace fs = std::filesystem;

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
    QTest::qWait(50);
  }

  // The Map texture's pixels as the view's context holds them.
  std::vector<uint8_t> map_texture() {
    std::vector<uint8_t> pixels;
    window->view()->with_context([&pixels] {
      GLint width = 0, height = 0;
      glBindTexture(GL_TEXTURE_2D, kMapTexture);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
      pixels.resize(static_cast<size_t>(width) * height * 3);
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    });
    return pixels;
  }
};

void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button,
                Qt::MouseButtons buttons, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
  QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons,
                    modifiers);
  QApplication::sendEvent(widget, &event);
}

TEST(GisInfoWindow, CtrlClickPutsTheExactReportInTheInfoPanel) {
  // Five events on the first day: three in cell (20, 30), one beside it,
  // one elsewhere; one more a day later, outside the loaded window.
  test::ScratchDir dir;
  static EventStore store;
  store = {};
  const uint16_t day1 = pack_time_key(1, 1, 1, 0), day2 = pack_time_key(1, 2, 1, 0);
  const Event events[] = {
      test::event_at(day1, 20, 30, 50, 7), test::event_at(day1, 20, 30, 50, 7),
      test::event_at(day1, 20, 30, 50, 7), test::event_at(day1, 21, 30, 50, 7),
      test::event_at(day1, 5, 5, 3, 2),    test::event_at(day2, 20, 30, 50, 7),
  };
  for (const Event& e : events) store.records[store.count++] = e;
  ASSERT_EQ(write_records(dir.path("known.vdr").c_str(), store), 1);

  Viewer v(kShippedData);
  v.program->dialogs.run = [&dir](bool, const std::string&, const std::string&) {
    return dir.path("known.vdr");
  };
  v.window->on_command(kCommandLoadData);
  ASSERT_EQ(v.recorder.messages.size(), 1u);  // "Load complete"
  Panel* info = v.program->panels.info;
  ASSERT_NE(info, nullptr);
  EXPECT_FALSE(info->isVisible());

  // Straight down on the middle of cell (20, 30).
  QWidget* view = v.window->view();
  v.program->view.look_at[0] = 30.5f;
  v.program->view.look_at[1] = 20.5f;
  const QPoint middle(view->width() / 2, view->height() / 2);
  const char* const kReport =
      "From: Day,January,1,2000\n"
      "To: Day,January,1,2000\n"
      "Total Events: 5\n"
      "Keymap 0539: 3, 60.00%\n"
      "Zip Code 77049: 4, 80.00%\n"
      "Council District G: 4, 80.00%\n"
      "\n";
  auto ctrl_click = [&] {
    send_mouse(view, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, middle,
               Qt::ControlModifier);
    send_mouse(view, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, middle);
  };
  // Resting there first shows the cell's read-out and changes nothing.
  const uint16_t window_end = v.program->query.key;
  send_mouse(view, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, middle);
  QTest::qWait(800);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text().toStdString(),
            "Row 20, Column 30\nEvents: 3\nKeymap 0539\nZip Code 77049\nCouncil District G");
  EXPECT_EQ(v.program->pointer.last_x, 0);
  EXPECT_EQ(v.program->query.key, window_end);
  EXPECT_FALSE(v.program->cells.words[20 * kGridCols + 30][0] & kSelectedBit);

  ctrl_click();
  EXPECT_FALSE(QToolTip::isVisible());
  auto* text = find_control_as<QPlainTextEdit>(*info, 1035);
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(info->isVisible());
  EXPECT_EQ(text->toPlainText().toStdString(), kReport);
  EXPECT_TRUE(v.program->cells.words[20 * kGridCols + 30][0] & kSelectedBit);
  EXPECT_EQ(text->accessibleName(), "Info text");

  // Hidden by Esc, back with the next report, which lands below the first.
  QTest::keyClick(text, Qt::Key_Escape);
  EXPECT_FALSE(info->isVisible());
  ctrl_click();
  EXPECT_TRUE(info->isVisible());
  EXPECT_EQ(text->toPlainText().toStdString(), std::string(kReport) + kReport);
  // Enough reports to scroll: the newest stays in view.
  for (int i = 0; i < 12; ++i) ctrl_click();
  QTest::qWait(20);
  EXPECT_GT(text->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(text->verticalScrollBar()->value(), text->verticalScrollBar()->maximum());

  // "Clear" then "Save": an empty file, and "Save complete".
  v.program->dialogs.run = [&dir](bool, const std::string&, const std::string&) {
    return dir.path("empty.txt");
  };
  find_control_as<QPushButton>(*info, 1045)->click();
  EXPECT_EQ(text->toPlainText(), "");
  find_control_as<QPushButton>(*info, 1046)->click();
  EXPECT_EQ(test::read_file(dir.path("empty.txt")), "");
  EXPECT_EQ(v.recorder.messages.back().second, "Save complete");

  // Beside the grid: no read-out; a Ctrl-click clears the selection and
  // reports nothing.
  v.program->view.look_at[0] = -500;
  send_mouse(view, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, middle + QPoint(1, 0));
  QTest::qWait(800);
  EXPECT_FALSE(QToolTip::isVisible());
  ctrl_click();
  EXPECT_EQ(text->toPlainText(), "");
  EXPECT_FALSE(v.program->cells.words[20 * kGridCols + 30][0] & kSelectedBit);
}

TEST(GisInfoWindow, GisPanelShowsTheSettingsAndEachClickRebuildsTheMap) {
  // The shipped data with the hospitals' mask missing.
  test::ScratchDir dir;
  fs::create_directories(dir.path("data/overlays"));
  fs::create_directory_symlink(kShippedData + "/maps", dir.path("data/maps"));
  fs::create_directory_symlink(kShippedData + "/selections", dir.path("data/selections"));
  for (const auto& entry : fs::directory_iterator(kShippedData + "/overlays"))
    if (entry.path().filename() != "hospitals.ovl")
      fs::create_symlink(entry.path(),
                         dir.path("data/overlays") + "/" + entry.path().filename().string());
  Viewer v(dir.path("data"));
  Panel* gis = v.program->panels.gis;
  ASSERT_NE(gis, nullptr);
  EXPECT_TRUE(gis->isVisible());
  auto* map_list = find_control_as<QComboBox>(*gis, kGisMapList);
  auto* mode_list = find_control_as<QComboBox>(*gis, kGisSelectionList);
  ASSERT_TRUE(map_list && mode_list);
  EXPECT_EQ(map_list->currentText(), "Basemap");
  EXPECT_EQ(mode_list->currentText(), "Keymap");
  EXPECT_EQ(map_list->count(), 2);
  EXPECT_EQ(mode_list->count(), 3);
  QStringList checked;
  for (uint16_t id : kOverlayCheckBoxes)
    if (find_control_as<QCheckBox>(*gis, id)->isChecked())
      checked << find_control_as<QCheckBox>(*gis, id)->text();
  EXPECT_EQ(checked, QStringList({"Major Roads", "Highways", "Highway Labels"}));
  // The labels name their lists for a screen reader.
  EXPECT_EQ(find_control_as<QLabel>(*gis, kGisMapLabel)->buddy(), map_list);
  EXPECT_EQ(find_control_as<QLabel>(*gis, kGisSelectionLabel)->buddy(), mode_list);

  const std::vector<uint8_t> before = v.map_texture();
  ASSERT_FALSE(before.empty());
  QTest::mouseClick(find_control_as<QCheckBox>(*gis, 1012), Qt::LeftButton);  // "Zip Codes"
  EXPECT_EQ(v.program->gis.overlay_flags, 0x0035);
  const std::vector<uint8_t> zips = v.map_texture();
  EXPECT_NE(zips, before);
  EXPECT_TRUE(v.recorder.messages.empty());

  // "Hospitals" chosen but missing: named once per rebuild, and the map
  // still shows every other chosen overlay.
  QTest::mouseClick(find_control_as<QCheckBox>(*gis, 1011), Qt::LeftButton);
  ASSERT_EQ(v.recorder.messages.size(), 1u);
  EXPECT_EQ(v.recorder.messages[0],
            std::make_pair(std::string("ERROR"), std::string("overlay(): can't read overlay")));
  EXPECT_EQ(v.map_texture(), zips);
  QTest::mouseClick(find_control_as<QCheckBox>(*gis, 1014), Qt::LeftButton);
  EXPECT_EQ(v.recorder.messages.size(), 2u);
  EXPECT_EQ(v.program->gis.overlay_flags, 0x0137);

  // Hidden and shown again from the menu: the same marks.
  QTest::keyClick(map_list, Qt::Key_Escape);
  EXPECT_FALSE(gis->isVisible());
  v.window->on_command(kCommandShowGisPanel);
  EXPECT_TRUE(gis->isVisible());
  EXPECT_TRUE(find_control_as<QCheckBox>(*gis, 1014)->isChecked());
}

TEST(GisInfoWindow, AboutBoxContentsAndWaysOut) {
  Viewer v(kShippedData);
  Panel* about = v.program->panels.about;
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(about->isVisible());
  EXPECT_EQ(about->accessibleName(), "About Valdrin 1.0d");
  const QPixmap picture = find_control_as<QLabel>(*about, 1037)->pixmap();
  EXPECT_EQ(picture.size(), QSize(322, 115));
  QStringList reference;
  for (uint16_t id = 1049; id <= 1058; ++id)
    reference << find_control_as<QLabel>(*about, id)->text();
  EXPECT_EQ(reference, QStringList({"Pan view:", "Right mouse", "Zoom view:", "Shift + Right mouse",
                                    "Move view:", "Ctrl + Right mouse", "Control timeline:",
                                    "Left mouse", "Make selection", "Ctrl + Left mouse"}));
  for (uint16_t id : {1040, 1041, 1042, 1043, 1044, 1045, 1046, 1047, 1048, 1059})
    EXPECT_FALSE(find_control_as<QLabel>(*about, id)->text().isEmpty()) << id;
  EXPECT_TRUE(find_control_as<QLabel>(*about, 1042)->text().endsWith("@example.org"));

  // "OK", Enter, Esc and the close box each hide it; "About.." shows it
  // where it was.
  auto* ok = find_control_as<QPushButton>(*about, 1036);
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isDefault());
  const std::vector<std::function<void()>> ways = {
      [&] { ok->click(); },
      [&] { QTest::keyClick(about, Qt::Key_Return); },
      [&] { QTest::keyClick(about, Qt::Key_Escape); },
      [&] { about->close_box()->click(); },
  };
  for (const auto& way : ways) {
    v.window->on_command(kCommandAbout);
    ASSERT_TRUE(about->isVisible());
    const QPoint where = about->pos();
    way();
    EXPECT_FALSE(about->isVisible());
    v.window->on_command(kCommandAbout);
    EXPECT_EQ(about->pos(), where);
    about->hide_panel();
  }
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
