// The snapshot and print commands over the view's capture.
#include "app/snapshot_print.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <string>

#include "app/file_dialogs.h"
#include "core/message.h"
#include "view/capture.h"
#include "view/print_layout.h"

namespace valdrin {

namespace {

// Timer 1 stands still from the first step of a command to its last, so
// playback does not move while a dialog is open, and runs again afterwards
// whichever way the command ended.
class TimerPause {
 public:
  explicit TimerPause(QTimer& timer) : timer_(timer) { timer_.stop(); }
  ~TimerPause() { timer_.start(); }
  TimerPause(const TimerPause&) = delete;
  TimerPause& operator=(const TimerPause&) = delete;

 private:
  QTimer& timer_;
};

// An Image record released when the command ends, on every path.
struct HeldImage {
  Image image;
  HeldImage() = default;
  HeldImage(const HeldImage&) = delete;
  HeldImage& operator=(const HeldImage&) = delete;
  ~HeldImage() { free_image(image); }
};

}  // namespace

int capture_program_view(Program& program, Image& capture) {
  if (program.view.viewport_width <= 0 || program.view.viewport_height <= 0) {
    show_message("Error", "The view has no area to capture!");
    return 0;
  }
  int captured = 0;
  const auto work = [&] { captured = capture_view(program.scene, program.view, capture); };
  with_gl(program, work);
  if (!captured) show_message("Error", "Can't capture the view!");
  return captured;
}

void snapshot_command(Program& program, QTimer& timer) {
  const TimerPause pause(timer);
  HeldImage capture;
  if (!capture_program_view(program, capture.image)) return;
  std::string path;
  if (!choose_save_file(program, path, ".bmp")) return;
  // "Save complete" belongs to a file that was written whole.
  if (write_bmp(path.c_str(), capture.image))
    show_message("Info", "Save complete");
  else
    show_message("Error", "Can't save snapshot file!!");
}

int print_image(QPrinter& printer, const Image& capture) {
  // The printable area in device pixels; the painter's origin is its
  // top-left corner.
  const int page_width = printer.width();
  const int page_height = printer.height();
  PrintLayout layout;
  if (!layout_print(page_width, page_height, capture.width, capture.height, layout)) {
    show_owned_message("Error", "Cannot start the printout!");
    return 0;
  }
  QPainter painter;
  if (!painter.begin(&printer)) {
    show_owned_message("Error", "Cannot start the printout!");
    return 0;
  }
  painter.fillRect(QRect(0, 0, page_width, page_height), Qt::white);

  HeldImage texture;
  resample_image(capture, texture.image);
  // The record's rows run bottom up; a QImage's run top down.
  const QImage picture =
      QImage(texture.image.pixels, texture.image.width, texture.image.height,
             static_cast<qsizetype>(texture.image.width) * 3, QImage::Format_RGB888)
          .mirrored();
  // Linear filtering, as a texture stretched over the page would have.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  // The picture is centred, so its top edge lies as far below the top of
  // the page as its bottom edge lies above the bottom.
  const QRectF target(layout.offset_x, page_height - layout.offset_y - layout.height, layout.width,
                      layout.height);
  painter.drawImage(target, picture);
  if (!painter.end() || printer.printerState() == QPrinter::Error) {
    show_owned_message("Error", "Cannot finish the printout!");
    return 0;
  }
  return 1;
}

void print_command(Program& program, QTimer& timer) {
  const TimerPause pause(timer);
  HeldImage capture;
  if (!capture_program_view(program, capture.image)) return;
  if (capture.image.width < kMinPrintSide || capture.image.height < kMinPrintSide) {
    show_message("Error", "The view is too small to print (at least 2 x 2 pixels)!");
    return;
  }
  // A fresh printer each time: no print setting outlives its printout.
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(kPrintDocName);
  const auto& run_print_dialog = program.services.run_print_dialog;
  if (!run_print_dialog || !run_print_dialog(printer)) return;
  if (print_image(printer, capture.image)) show_message("Info", "Print spooled");
}

}  // namespace valdrin
