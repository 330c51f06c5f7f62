// The About box's picture and "OK".
#include "panels/about_box.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace valdrin {

void init_about_box(Panel& about) {
  // Real size, centred in its sunken frame.
  if (auto* picture = find_control_as<QLabel>(about, kAboutPicture))
    picture->setPixmap(QPixmap(QStringLiteral(":/valdrin/about.bmp")));
  if (auto* ok = find_control_as<QPushButton>(about, kAboutOkButton))
    QObject::connect(ok, &QPushButton::clicked, &about, [&about] { about.hide_panel(); });
}

}  // namespace valdrin
