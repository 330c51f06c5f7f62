// The surface format and the message boxes.
#include "app/shell.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QSurfaceFormat>
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

void install_message_boxes() { set_message_sink(MessageSink{show_box, nullptr, show_owned_box}); }

}  // namespace valdrin
