// The rebuild step, the time-window reset and the message boxes.
#include "app/shell.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QSurfaceFormat>

#include "core/message.h"

namespace valdrin {

void rebuild(Program& program) {
  if (program.refresh_timeline) program.refresh_timeline();
  auto work = [&program] {
    SceneSources sources = program.sources();
    rebuild_columns(program.scene, sources);
  };
  if (program.with_gl)
    program.with_gl(work);
  else
    work();
}

TimelineSources timeline_sources(Program& program) {
  return TimelineSources{program.time,     program.query,
                         program.playback, [&program] { rebuild(program); },
                         nullptr,          nullptr};
}

void reset_timeline(Program& program) {
  TimelineSources sources = timeline_sources(program);
  reset_timeline(sources);
}

namespace {

void show_box_over(QWidget* owner, const char* caption, const char* text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(caption), QString::fromUtf8(text),
                  QMessageBox::Ok, owner);
  box.exec();
}

void show_box(void*, const char* caption, const char* text) {
  // No owner window, as for almost every message of the program; OK only.
  show_box_over(nullptr, caption, text);
}

void show_owned_box(void*, const char* caption, const char* text) {
  // The main window is the one top-level widget named "mainw"; the sink is
  // installed before it exists, so it is looked up when a box is shown.
  QWidget* owner = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == QLatin1String("mainw")) owner = widget;
  show_box_over(owner, caption, text);
}

}  // namespace

void set_default_surface_format() {
  QSurfaceFormat format;
  format.setDepthBufferSize(24);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  QSurfaceFormat::setDefaultFormat(format);
}

void install_message_boxes() { set_message_sink(MessageSink{show_box, nullptr, show_owned_box}); }

}  // namespace valdrin
