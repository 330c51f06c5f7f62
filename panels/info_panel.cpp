// The Info Panel's widgets.
#include "panels/info_panel.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace valdrin {

void set_info_text(Panel& panel, const InfoText& info) {
  auto* box = find_control_as<QPlainTextEdit>(panel, kInfoTextBox);
  if (box == nullptr) return;
  // The text box breaks lines at LF; a CR left in would show as a glyph.
  QString text = QString::fromLatin1(info.text.data(), static_cast<qsizetype>(info.text.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box->setPlainText(text);
  box->moveCursor(QTextCursor::End);
  box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
}

void show_info_text(Panel& panel, const InfoText& info) {
  set_info_text(panel, info);
  panel.show_panel();
}

void connect_info_panel(Panel& panel, std::function<void()> clear, std::function<void()> save) {
  if (auto* button = find_control_as<QPushButton>(panel, kInfoClearButton))
    QObject::connect(button, &QPushButton::clicked, &panel, [clear] { clear(); });
  if (auto* button = find_control_as<QPushButton>(panel, kInfoSaveButton))
    QObject::connect(button, &QPushButton::clicked, &panel, [save] { save(); });
}

}  // namespace valdrin
