// The rebuild step, the time-window reset and the message boxes.
#include "app/shell.h"

#include <QMessageBox>
#include <QString>

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

void show_box(void*, const char* caption, const char* text) {
  // No owner window, as for every message of the program; OK only.
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(caption), QString::fromUtf8(text),
                  QMessageBox::Ok);
  box.exec();
}

}  // namespace

void install_message_boxes() { set_message_sink(MessageSink{show_box, nullptr}); }

}  // namespace valdrin
