// "Save Snapshot.." and "Print.." in a real window under Xvfb, with the file
// and print dialogs scripted: the BMP holds the view bottom row first, the
// PDF holds one page with the view centred and its aspect ratio kept, and
// every way out (cancel, a file or printer that fails, a view too small)
// says what it should, writes nothing it shouldn't and restarts timer 1.
#include "app/snapshot_print.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QSurfaceFormat>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "core/message.h"
#include "panels/panel.h"
#include "tests/core/test_files.h"
#include "view/image.h"

namespace valdrin {
namespace {

const std::string kShippedData = std::string(VALDRIN_SOURCE_DIR) + "/data";

struct Message {
  std::string caption, text;
  bool owned;  // by the main window
  bool operator==(const Message&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Message& m) {
  return out << m.caption << " / " << m.text << (m.owned ? " (owned)" : "");
}

// Records every message, telling the main window's own apart.
class Recorder {
 public:
  Recorder() : previous_(set_message_sink(MessageSink{record, this, record_owned})) {}
  ~Recorder() { set_message_sink(previous_); }
  std::vector<Message> messages;

 private:
  static void record(void* self, const char* caption, const char* text) {
    static_cast<Recorder*>(self)->messages.push_back({caption, text, false});
  }
  static void record_owned(void* self, const char* caption, const char* text) {
    static_cast<Recorder*>(self)->messages.push_back({caption, text, true});
  }
  MessageSink previous_;
};

// The viewer with scripted dialogs: `save_as` answers the save chooser ("" cancels),
// `printer_setup` the print dialog (nullptr cancels). Each dialog records whether timer 1 ran while
// it was open.
class Commands : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  Recorder recorder;
  std::unique_ptr<Program> program = std::make_unique<Program>();
  std::unique_ptr<MainWindow> window;
  std::string save_as;
  std::function<void(QPrinter&)> printer_setup;
  int dialogs_opened = 0;
  bool timer_ran_in_dialog = false;
  std::function<int(QPrinter&)> real_print_dialog;

  void SetUp() override {
    program->data_dir = kShippedData;
    window = std::make_unique<MainWindow>(*program);
    real_print_dialog = program->run_print_dialog;
    program->dialogs.run = [this](bool, const std::string&, const std::string&) {
      ++dialogs_opened;
      timer_ran_in_dialog = timer_ran_in_dialog || window->timer().isActive();
      return save_as;
    };
    program->run_print_dialog = [this](QPrinter& printer) {
      ++dialogs_opened;
      timer_ran_in_dialog = timer_ran_in_dialog || window->timer().isActive();
      if (!printer_setup) return 0;
      printer_setup(printer);
      return 1;
    };
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(50);
    ASSERT_TRUE(recorder.messages.empty());
  }

  // Runs a menu command and checks what holds after every one of them.
  void run(int id) {
    window->on_command(id);
    EXPECT_FALSE(timer_ran_in_dialog);
    EXPECT_TRUE(window->timer().isActive());
  }

  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.root()))
      names.push_back(entry.path().filename().string());
    return names;
  }

  void print_to_pdf(QPrinter& printer, const std::string& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
  }
};

TEST_F(Commands, SnapshotIsTheViewBottomRowFirstAndLeavesPanelsAsTheyWere) {
  // Start-up shows the GIS, Query and Timeline panels over the view; hide
  // one of them as well.
  PanelWindows& panels = program->panels;
  ASSERT_NE(panels.query, nullptr);
  panels.query->hide_panel();
  const std::vector<std::pair<Panel*, bool>> visible = {{panels.gis, true},
                                                        {panels.query, false},
                                                        {panels.timeline, true},
                                                        {panels.info, false},
                                                        {panels.about, false}};

  save_as = dir.path("shot");  // the chooser appends ".bmp"
  run(kCommandSaveSnapshot);
  EXPECT_EQ(recorder.messages, (std::vector<Message>{{"Info", "Save complete", false}}));
  EXPECT_EQ(dialogs_opened, 1);
  for (const auto& [panel, shown] : visible)
    EXPECT_EQ(panel->isVisible(), shown) << panel->panel_template().caption;

  Image shot;
  ASSERT_EQ(read_bmp(dir.path("shot.bmp").c_str(), shot), 1);
  EXPECT_EQ(shot.width, program->view.viewport_width);
  EXPECT_EQ(shot.height, program->view.viewport_height);
  // The view as Qt reads it, top row first: the file's first row is its
  // last, and panels over the view do not appear in either.
  const QImage view = window->view()->grabFramebuffer();
  ASSERT_EQ(view.width(), shot.width);
  ASSERT_EQ(view.height(), shot.height);
  int differing = 0;
  for (int y : {0, 1, shot.height / 3, shot.height - 1})
    for (int x = 0; x < shot.width; ++x) {
      const QRgb expected = view.pixel(x, shot.height - 1 - y);
      const uint8_t* p = shot.pixels + (static_cast<size_t>(y) * shot.width + x) * 3;
      differing += p[0] != qRed(expected) || p[1] != qGreen(expected) || p[2] != qBlue(expected);
    }
  EXPECT_EQ(differing, 0);
  free_image(shot);
}

TEST_F(Commands, EveryOtherWayOutSaysWhatItShouldAndWritesNothing) {
  struct Case {
    const char* name;
    int command;
    std::function<void()> prepare;
    int dialogs;
    std::vector<Message> messages;
  };
  const Case cases[] = {
      {"snapshot cancelled", kCommandSaveSnapshot, [&] { save_as = ""; }, 1, {}},
      {"snapshot file can't be made",
       kCommandSaveSnapshot,
       [&] { save_as = dir.path("no/such/folder/shot.bmp"); },
       1,
       {{"Error", "Can't save snapshot file!!", false}}},
      {"snapshot of a view without area",
       kCommandSaveSnapshot,
       [&] {
         save_as = dir.path("shot.bmp");
         program->view.viewport_height = 0;
       },
       0,
       {{"Error", "The view has no area to capture!", false}}},
      {"print cancelled", kCommandPrint, [&] { printer_setup = nullptr; }, 1, {}},
      {"printout can't start",
       kCommandPrint,
       [&] {
         printer_setup = [&](QPrinter& printer) {
           print_to_pdf(printer, dir.path("no/such/folder/page.pdf"));
         };
       },
       1,
       {{"Error", "Cannot start the printout!", true}}},
      {"print of a view under 2 x 2",
       kCommandPrint,
       [&] {
         printer_setup = [&](QPrinter& printer) { print_to_pdf(printer, dir.path("page.pdf")); };
         program->view.viewport_width = 1;
       },
       0,
       {{"Error", "The view is too small to print (at least 2 x 2 pixels)!", false}}},
  };
  const ViewState view = program->view;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.prepare();
    recorder.messages.clear();
    dialogs_opened = 0;
    run(c.command);
    EXPECT_EQ(dialogs_opened, c.dialogs);
    EXPECT_EQ(recorder.messages, c.messages);
    EXPECT_EQ(files(), std::vector<std::string>{});
    program->view = view;
  }
}

// Runs a command and returns its standard output.
std::string output_of(const std::string& command) {
  std::string out;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

TEST_F(Commands, PrintToPdfIsOnePageWithTheViewCentredAndUpright) {
  // The grid's first row across the middle of the view: its lower half is
  // the plain clear grey beside the grid, its upper half the map.
  program->view.look_at[1] = 0;
  QRectF printable;  // in points, on the full page
  QSizeF page;
  printer_setup = [&](QPrinter& printer) {
    print_to_pdf(printer, dir.path("page.pdf"));
    printable = printer.pageLayout().paintRect(QPageLayout::Point);
    page = printer.pageLayout().fullRect(QPageLayout::Point).size();
  };
  run(kCommandPrint);
  EXPECT_EQ(recorder.messages, (std::vector<Message>{{"Info", "Print spooled", false}}));

  const std::string pdf = dir.path("page.pdf");
  const std::string info = output_of("pdfinfo '" + pdf + "'");
  EXPECT_TRUE(std::regex_search(info, std::regex("\nPages: +1\n"))) << info;
  EXPECT_TRUE(std::regex_search(info, std::regex("(^|\n)Title: +Valdrin1.0c printout\n"))) << info;

  // At 72 dpi one pixel is one point.
  output_of("pdftoppm -r 72 -singlefile '" + pdf + "' '" + dir.path("page") + "'");
  const QImage render(QString::fromStdString(dir.path("page.ppm")));
  ASSERT_FALSE(render.isNull());
  EXPECT_NEAR(render.width(), page.width(), 1);
  EXPECT_NEAR(render.height(), page.height(), 1);
  int left = render.width(), right = -1, top = render.height(), bottom = -1;
  for (int y = 0; y < render.height(); ++y)
    for (int x = 0; x < render.width(); ++x)
      if (qGray(render.pixel(x, y)) < 240) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, left);
  const double width = right - left + 1, height = bottom - top + 1;
  // Centred on the printable area, as wide as it (the view is wider than
  // the page is), and in the view's proportions.
  EXPECT_NEAR(left + width / 2, printable.center().x(), 1.5);
  EXPECT_NEAR(top + height / 2, printable.center().y(), 1.5);
  EXPECT_NEAR(width, printable.width(), 2);
  EXPECT_NEAR(width / height,
              static_cast<double>(program->view.viewport_width) / program->view.viewport_height,
              0.02);
  // Upright: grey at the bottom, the map at the top.
  const QRgb low = render.pixel(left + static_cast<int>(width / 2), bottom - 5);
  EXPECT_NEAR(qRed(low), 127, 4);
  EXPECT_NEAR(qBlue(low), 127, 4);
  int map_pixels = 0;
  for (int x = left; x <= right; ++x) {
    const QRgb high = render.pixel(x, top + 5);
    map_pixels += std::abs(qRed(high) - 127) + std::abs(qGreen(high) - 127) > 20;
  }
  EXPECT_GT(map_pixels, width / 4);
}

// Qt's own print dialog on a machine without printers: it offers a PDF file,
// and choosing one prints there.
TEST_F(Commands, TheRealPrintDialogPrintsToAPdfFile) {
  program->run_print_dialog = real_print_dialog;
  const std::string pdf = dir.path("chosen.pdf");
  bool offered = false;
  // Answers the dialog once it is up, however long the start takes.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    answer.stop();
    for (QComboBox* printers : dialog->findChildren<QComboBox*>("printers"))
      offered = offered || printers->currentText() == "Print to File (PDF)";
    for (QLineEdit* name : dialog->findChildren<QLineEdit*>("filename"))
      name->setText(QString::fromStdString(pdf));
    dialog->accept();
  });
  answer.start(50);
  run(kCommandPrint);
  EXPECT_TRUE(offered);
  EXPECT_EQ(recorder.messages, (std::vector<Message>{{"Info", "Print spooled", false}}));
  EXPECT_TRUE(std::regex_search(output_of("pdfinfo '" + pdf + "'"), std::regex("\nPages: +1\n")));
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
