// The panel frame: the builder that turns a template into widgets, the
// caption bar that drags a panel, and a panel's keyboard rules.
#include "panels/panel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "panels/solid_bar.h"

namespace valdrin {

namespace {

// A closed drop-down list is as tall as its font needs, whatever height
// the template gives its dropped-down list.
constexpr int kClosedListHeight = 12;
// Pixels of a dragged child panel's caption that stay in view.
constexpr int kGrip = 24;

// The panel's caption bar: its title and close box; a drag with the left
// button moves the panel.
class CaptionBar : public QWidget {
 public:
  CaptionBar(Panel* panel, const QString& title) : QWidget(panel), panel_(panel) {
    setObjectName("caption");
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Highlight));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
    setPalette(palette);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 1, 1);
    layout->setSpacing(2);
    title_ = new QLabel(title, this);
    title_->setFont(panel_font());
    layout->addWidget(title_, 1);
  }

  void add_close_box(QToolButton* box) { static_cast<QHBoxLayout*>(layout())->addWidget(box); }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    // A press on the caption brings the panel to the front and the keyboard
    // into it, as activating a dialog does.
    panel_->raise();
    if (!panel_->isAncestorOf(QApplication::focusWidget())) panel_->focus_first_control();
    dragging_ = true;
    last_ = event->globalPosition().toPoint();
    event->accept();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!dragging_) return;
    const QPoint now = event->globalPosition().toPoint();
    panel_->drag_by(now - last_);
    last_ = now;
    event->accept();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    event->accept();
  }

 private:
  Panel* panel_;
  QLabel* title_;
  bool dragging_ = false;
  QPoint last_;
};

QWidget* make_control(const ControlTemplate& c, QWidget* parent) {
  const QString text = c.text ? QString::fromUtf8(c.text) : QString();
  switch (c.kind) {
    case ControlKind::kLabel: {
      auto* label = new QLabel(text, parent);
      if (c.style & kStyleCentred) label->setAlignment(Qt::AlignCenter);
      if (c.style & kStyleSunken) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      return label;
    }
    case ControlKind::kGroupBox: {
      auto* box = new QGroupBox(text, parent);
      if (c.style & kStyleCentred) box->setAlignment(Qt::AlignHCenter);
      box->setFocusPolicy(Qt::NoFocus);
      return box;
    }
    case ControlKind::kPushButton:
    case ControlKind::kDefaultButton: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);
      button->setDefault(c.kind == ControlKind::kDefaultButton);
      return button;
    }
    case ControlKind::kPlayButton: {
      auto* button = new QPushButton(text, parent);
      button->setCheckable(true);
      button->setAutoDefault(false);
      return button;
    }
    case ControlKind::kCheckBox: return new QCheckBox(text, parent);
    case ControlKind::kDropDownList: {
      auto* list = new QComboBox(parent);
      list->setEditable(false);
      return list;
    }
    case ControlKind::kProgressBar: {
      // Painted by the bar itself: its chunk is exactly the palette's
      // highlight, whatever style the desktop gives the rest.
      auto* bar = new SolidBar(parent);
      bar->setFocusPolicy(Qt::NoFocus);
      return bar;
    }
    case ControlKind::kTextBox: {
      auto* box = new QPlainTextEdit(parent);
      box->setReadOnly(true);
      box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
      box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      return box;
    }
    case ControlKind::kPicture: {
      auto* picture = new QLabel(parent);
      picture->setAlignment(Qt::AlignCenter);
      if (c.style & kStyleSunken) picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      return picture;
    }
  }
  return nullptr;
}

// The layout's boxes were measured for a narrower face than most sans
// fonts: a label's or check box's text wider than its box is drawn
// condensed rather than cut.
void fit_text(QWidget& widget) {
  QString text;
  int room = widget.width();
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    text = label->text();
    room = label->contentsRect().width();
  } else if (auto* box = qobject_cast<QCheckBox*>(&widget)) {
    text = box->text();
    // Take the check mark and its spacing off the room.
    room -= box->sizeHint().width() - QFontMetrics(box->font()).horizontalAdvance(text);
  }
  const int needed = QFontMetrics(widget.font()).horizontalAdvance(text);
  if (needed <= room || needed == 0) return;
  QFont font = widget.font();
  font.setStretch(std::clamp(room * 100 / needed, 70, 100));
  widget.setFont(font);
}

}  // namespace

QFont panel_font() {
  QFont font(QStringLiteral("Sans Serif"), 8);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

DialogUnits panel_dialog_units() {
  const QFontMetrics metrics(panel_font());
  return DialogUnits{metrics.averageCharWidth() / 4.0, metrics.height() / 8.0};
}

int dialog_x(const DialogUnits& units, int du) {
  return static_cast<int>(std::lround(du * units.x));
}
int dialog_y(const DialogUnits& units, int du) {
  return static_cast<int>(std::lround(du * units.y));
}

QPoint clamp_panel_position(QPoint wanted, int width, int parent_width, int parent_height,
                            int caption_height, int grip) {
  const int min_x = std::min(0, grip - width);
  const int max_x = std::max(min_x, parent_width - grip);
  const int max_y = std::max(0, parent_height - caption_height);
  return QPoint(std::clamp(wanted.x(), min_x, max_x), std::clamp(wanted.y(), 0, max_y));
}

Panel::Panel(const PanelTemplate& panel_template, QWidget* parent)
    : QFrame(parent), template_(panel_template) {}

QWidget* Panel::control(uint16_t id) const {
  for (const auto& [control_id, widget] : controls_)
    if (control_id == id) return widget;
  return nullptr;
}

void Panel::show_panel() {
  if (isVisible()) return;
  show();
  if (isWindow()) raise();
}

bool Panel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) raise();
  return QFrame::eventFilter(watched, event);
}

void Panel::hide_panel() { hide(); }

void Panel::drag_by(QPoint delta) {
  const QPoint wanted = pos() + delta;
  if (isWindow() || parentWidget() == nullptr) {
    move(wanted);
    return;
  }
  move(clamp_panel_position(wanted, width(), parentWidget()->width(), parentWidget()->height(),
                            caption_->height(), kGrip));
}

void Panel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape: hide_panel(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      // The focused push button, or else the panel's default button.
      auto* focused = qobject_cast<QPushButton*>(focusWidget());
      if (focused == nullptr || !isAncestorOf(focused)) {
        focused = nullptr;
        for (const auto& [id, widget] : controls_) {
          auto* button = qobject_cast<QPushButton*>(widget);
          if (button != nullptr && button->isDefault()) focused = button;
        }
      }
      if (focused != nullptr && focused->isEnabled()) focused->click();
      break;
    }
    default: break;
  }
  // Whatever the key, it stops here: nothing typed into a panel reaches
  // the main window or the view.
  event->accept();
}

void Panel::keyReleaseEvent(QKeyEvent* event) { event->accept(); }

void Panel::focus_first_control() {
  // From outside the panel, the next stop is its first one.
  if (QWidget* focused = QApplication::focusWidget(); focused && isAncestorOf(focused)) return;
  focusNextPrevChild(true);
}

bool Panel::focusNextPrevChild(bool next) {
  // Round the panel's own controls in template order, as a dialog does.
  // The play buttons are one stop, as a group of radio buttons is: the
  // checked one (or the focused one), the arrow keys move within.
  QWidget* current = QApplication::focusWidget();
  QAbstractButton* checked = play_group_ ? play_group_->checkedButton() : nullptr;
  bool group_seen = false;
  std::vector<QWidget*> stops;
  for (const auto& [id, widget] : controls_) {
    if (!widget->isEnabled() || !widget->isVisibleTo(this)) continue;
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (play_group_ != nullptr && button != nullptr && play_group_->id(button) != -1) {
      const bool first_unchecked = checked == nullptr && !group_seen;
      group_seen = true;
      if (widget == checked || widget == current || first_unchecked) stops.push_back(widget);
      continue;
    }
    if (widget->focusPolicy() & Qt::TabFocus) stops.push_back(widget);
  }
  if (stops.empty()) return true;
  auto at = std::find(stops.begin(), stops.end(), current);
  size_t index = 0;
  const size_t n = stops.size();
  if (at == stops.end())
    index = next ? 0 : n - 1;
  else
    index = (static_cast<size_t>(at - stops.begin()) + (next ? 1 : n - 1)) % n;
  stops[index]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

Panel* build_panel(uint16_t template_id, QWidget* parent, QPoint client_origin) {
  const PanelTemplate* t = find_template(template_id);
  if (t == nullptr) return nullptr;
  const DialogUnits units = panel_dialog_units();
  const QString caption = QString::fromUtf8(t->caption);

  auto* panel = new Panel(*t, parent);
  panel->setObjectName(caption);
  panel->setAccessibleName(caption);
  panel->setWindowTitle(caption);
  panel->setFont(panel_font());
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(2);
  panel->setAutoFillBackground(true);
  if (t->kind == PanelKind::kPopup) panel->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);

  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(0);
  auto* caption_bar = new CaptionBar(panel, caption);
  panel->caption_ = caption_bar;
  auto* close_box = new QToolButton(caption_bar);
  close_box->setText(QStringLiteral("\u00D7"));
  close_box->setAccessibleName(QStringLiteral("Close"));
  close_box->setToolTip(QStringLiteral("Close"));
  close_box->setFocusPolicy(Qt::NoFocus);
  close_box->setAutoRaise(true);
  caption_bar->add_close_box(close_box);
  QObject::connect(close_box, &QToolButton::clicked, panel, [panel] { panel->hide_panel(); });
  panel->close_box_ = close_box;
  layout->addWidget(caption_bar);

  auto* client = new QWidget(panel);
  client->setObjectName("client");
  client->setFixedSize(dialog_x(units, t->width), dialog_y(units, t->height));
  layout->addWidget(client);
  panel->client_ = client;

  for (size_t i = 0; i < t->control_count; ++i) {
    const ControlTemplate& c = t->controls[i];
    QWidget* widget = make_control(c, client);
    if (widget == nullptr) continue;
    widget->setObjectName(QString::number(c.id));
    const int height = c.kind == ControlKind::kDropDownList
                           ? std::min<int>(c.height, kClosedListHeight)
                           : c.height;
    // Edges are rounded, not sizes: controls that meet in the template meet
    // on screen, neither overlapping by a pixel nor parted by one.
    const QPoint top_left(dialog_x(units, c.x), dialog_y(units, c.y));
    const QPoint past_bottom_right(dialog_x(units, c.x + c.width), dialog_y(units, c.y + height));
    widget->setGeometry(QRect(top_left, past_bottom_right - QPoint(1, 1)));
    if (c.text != nullptr) fit_text(*widget);
    if (c.accessible_name != nullptr) {
      widget->setAccessibleName(QString::fromUtf8(c.accessible_name));
      // Over AT-SPI a list's name is its current item; the description
      // carries what the list is for.
      if (c.kind == ControlKind::kDropDownList)
        widget->setAccessibleDescription(QString::fromUtf8(c.accessible_name));
    }
    if (c.kind == ControlKind::kPlayButton) {
      if (panel->play_group_ == nullptr) {
        panel->play_group_ = new QButtonGroup(panel);
        panel->play_group_->setExclusive(true);
      }
      panel->play_group_->addButton(static_cast<QAbstractButton*>(widget), c.id);
    }
    panel->controls_.emplace_back(c.id, widget);
  }
  // A control that lies within a group box becomes the box's child: a
  // screen reader then says which group an "# Of" or "Race" list is in.
  // Labels name their lists.
  for (size_t g = 0; g < t->control_count; ++g) {
    if (t->controls[g].kind != ControlKind::kGroupBox) continue;
    QWidget* group = panel->control(t->controls[g].id);
    const QRect frame = group->geometry();
    for (const auto& [id, widget] : panel->controls_) {
      if (widget == group || widget->parentWidget() != client ||
          qobject_cast<QGroupBox*>(widget) != nullptr || !frame.contains(widget->geometry()))
        continue;
      widget->setParent(group);
      widget->move(widget->pos() - frame.topLeft());
      widget->show();
    }
  }
  for (size_t i = 0; i < t->control_count; ++i) {
    const ControlTemplate& c = t->controls[i];
    if (c.buddy != 0)
      if (auto* label = qobject_cast<QLabel*>(panel->control(c.buddy)))
        label->setBuddy(panel->control(c.id));
  }

  panel->adjustSize();
  panel->setFixedSize(panel->sizeHint());
  if (t->kind == PanelKind::kPopup) {
    const QScreen* screen = parent != nullptr ? parent->screen() : QApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    panel->move(area.center() - QPoint(panel->width() / 2, panel->height() / 2));
  } else {
    panel->move(client_origin + QPoint(dialog_x(units, t->x), dialog_y(units, t->y)));
  }
  // Presses on any widget of the panel reach its filter first.
  for (QWidget* widget : panel->findChildren<QWidget*>()) widget->installEventFilter(panel);
  if (t->visible_at_start) {
    panel->show();
  } else {
    panel->hide();
  }
  return panel;
}

}  // namespace valdrin
