// The surface format and the message boxes.
#include "app/shell.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QString>
#include <QSurfaceFormat>
#include <cstdio>
#include <cstring>

#include "core/message.h"

namespace valdrin {

namespace {

void show_box_over(QWidget* owner, const char* caption, const char* text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(caption), QString::fromUtf8(text),
                  QMessageBox::Ok, owner);
  box.exec();
}

void show_box(void*, const char* caption, const char* text) {
  // No owner window, as for almost every message of the program; OK only.
  // A completion says so and gets out of the way: the box stays until its
  // OK, while the window, the panels and playback carry on.
  if (std::strcmp(caption, "Info") == 0) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, QString::fromUtf8(caption),
                                QString::fromUtf8(text), QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return;
  }
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

std::string opengl_unavailable() {
  QOpenGLContext probe;
  probe.setFormat(QSurfaceFormat::defaultFormat());
  if (probe.create()) return "";
  const QSurfaceFormat asked = QSurfaceFormat::defaultFormat();
  return "valdrin: OpenGL is not available: no OpenGL context could be made on the Qt platform \"" +
         QGuiApplication::platformName().toStdString() + "\" (asked for OpenGL " +
         std::to_string(asked.majorVersion()) + "." + std::to_string(asked.minorVersion()) +
         ", compatibility profile, " + std::to_string(asked.depthBufferSize()) +
         "-bit depth buffer, double buffered).\n"
         "Start it on a desktop with OpenGL, or under xvfb-run; valdrin-cli renders without a "
         "display.\n";
}

void install_message_printer() {
  set_message_sink(MessageSink{[](void*, const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
  }});
}

void install_message_boxes() { set_message_sink(MessageSink{show_box, nullptr, show_owned_box}); }

}  // namespace valdrin
