// The panel frame under Xvfb: templates, the widgets built from them, keyboard, closing, drags.
#include <QTest>
#include <QtWidgets>

#include "panels/panel.h"
#include "panels/timeline_panel.h"
#include "tests/core/test_files.h"

namespace valdrin::panel_frame_test {

// The window behind the panels, counting the keys that reach it.
struct Behind : QWidget {
  int keys = 0;
  Behind() {
    resize(900, 700), show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
    activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(this));
  }
  void keyPressEvent(QKeyEvent*) override { ++keys; }
  void keyReleaseEvent(QKeyEvent*) override { ++keys; }
};

TEST(PanelFrame, TemplatesBuildWidgetsThatHideShowDragAreNamedTabRoundAndNeverOverlap) {
  // Dialog units round to the nearest pixel; a drag keeps 24 px of a 200-wide caption in view.
  EXPECT_EQ(std::tuple(find_template(104),
                       find_control_template(*find_template(kTimelineTemplate), 1001)),
            std::tuple(nullptr, nullptr));
  const DialogUnits fixed{1.5, 1.625};
  EXPECT_EQ(std::tuple(dialog_x(fixed, 387), dialog_y(fixed, 41)), std::tuple(581, 67));
  for (const auto& [wanted, expected] : {std::pair{QPoint(100, 100), QPoint(100, 100)},
                                         {{-500, -20}, {-176, 0}},
                                         {{2000, 900}, {976, 682}},
                                         {{-176, 682}, {-176, 682}}})
    EXPECT_EQ(clamp_panel_position(wanted, 200, 1000, 700, 18, 24), expected) << wanted.x();
  Behind window;
  Panel* panel = build_panel(kTimelineTemplate, &window, QPoint(0, 30));
  auto* bar = find_control_as<QProgressBar>(*panel, 1023);
  auto* list = find_control_as<QComboBox>(*panel, 1029);
  auto* date = find_control_as<QLabel>(*panel, 1044);
  ASSERT_TRUE(panel && bar && list && date);
  const DialogUnits units = panel_dialog_units();
  const auto du = [&](int x, int y, int w, int h) {
    return QRect(QPoint(dialog_x(units, x), dialog_y(units, y)),
                 QPoint(dialog_x(units, x + w) - 1, dialog_y(units, y + h) - 1));
  };
  EXPECT_EQ(std::tuple(build_panel(1, &window), find_control_as<QComboBox>(*panel, 1023)),
            std::tuple(nullptr, nullptr));
  EXPECT_EQ(std::tuple(panel->isVisible(), panel->pos(), panel->client()->size(),
                       bar->isTextVisible(), bar->accessibleName(), bar->geometry(),
                       list->isEditable(), list->accessibleDescription(),
                       date->alignment() & Qt::AlignHCenter, date->frameShadow()),
            std::tuple(true, QPoint(0, 30), du(0, 0, 387, 41).size(), false, "Window end",
                       du(67, 7, 273, 12), false, "Step unit", Qt::AlignHCenter, QFrame::Sunken));

  QButtonGroup* group = panel->play_group();
  ASSERT_EQ(group ? group->buttons().size() : 0, 3);
  QString names;  // what a screen reader says for each button
  for (uint16_t id : {1020, 1019, 1018, 1030, 1031, 1033, 1034, 1036, 1037, 1039, 1040, 1046}) {
    auto* b = find_control_as<QPushButton>(*panel, id);
    names += (!b ? "-" : b->accessibleName().isEmpty() ? b->text() : b->accessibleName()) + ";";
  }
  EXPECT_EQ(names,
            "Play backward;Pause;Play forward;Shift +;Shift -;Day +;Day -;Month +;Month -;Year +;"
            "Year -;[ .. ];");
  group->button(1019)->click(), group->button(1018)->click();
  EXPECT_FALSE(group->button(1019)->isChecked());
  // The chunk is exactly the bar's colour (blue, or orange before the start) and as long as set.
  auto state = std::make_unique<AnalysisState>();
  window_end(*state) = 0xFE7F;  // at the Last key
  const auto colour_at = [bar](double across) {
    const QImage image = bar->grab().toImage();
    return image.pixelColor(int(image.width() * across), image.height() / 2).name().toStdString();
  };
  for (const auto& [start, colour] : {std::pair{0x0085, "#316ac5"}, {0xFE7F, "#ff8040"}}) {
    window_start(*state) = uint16_t(start);
    show_timeline(*panel, *state, PlaybackState{});
    EXPECT_EQ(colour_at(0.5), colour);
    bar->setValue((bar->minimum() + bar->maximum()) / 2);
    EXPECT_EQ(std::tuple(colour_at(0.25), colour_at(0.75) == colour), std::tuple(colour, false));
  }
  // Esc hides, showing brings it back where it was dragged with its state; keys stay inside.
  list->addItems({"Shift", "Day"});
  list->setCurrentIndex(1);
  panel->drag_by(QPoint(15, 20));
  const QPoint moved(15, 50);
  list->setFocus();
  for (Qt::Key key : {Qt::Key_A, Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(list, key);
  EXPECT_EQ(std::tuple(panel->isVisible(), window.keys), std::tuple(false, 0));
  panel->show_panel(), panel->show_panel();  // showing a visible panel changes nothing
  EXPECT_EQ(std::tuple(panel->isVisible(), panel->pos(), list->currentIndex()),
            std::tuple(true, moved, 1));
  // A press on a lower panel's caption raises it and takes the keyboard; the drag follows.
  Panel* below = build_panel(kQueryTemplate, &window, QPoint(0, 30));
  below->stackUnder(panel);
  QWidget* caption = below->findChild<QWidget*>("caption");
  ASSERT_NE(caption, nullptr);
  const auto send = [caption](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
    QMouseEvent event(type, caption->mapFromGlobal(global), global, Qt::LeftButton, buttons, {});
    QApplication::sendEvent(caption, &event);
  };
  const QPoint grip = caption->mapToGlobal(QPoint(60, 5));
  send(QEvent::MouseButtonPress, grip, Qt::LeftButton);
  EXPECT_EQ(std::tuple(window.children().last(), QApplication::focusWidget()),
            std::tuple(below, find_control(*below, 1001)));  // on top, with the keyboard
  const QPoint before = below->pos();
  send(QEvent::MouseMove, grip + QPoint(30, 20), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, grip + QPoint(30, 20), Qt::NoButton);
  send(QEvent::MouseMove, grip + QPoint(80, 80), Qt::NoButton);  // no longer dragging
  EXPECT_EQ(below->pos(), before + QPoint(30, 20));

  panel->close_box()->click();
  EXPECT_EQ(std::tuple(panel->isVisible(), window.isVisible()), std::tuple(false, true));
  // Lists are named and grouped; Tab goes round, Enter presses, no control overlaps another.
  panel = build_panel(kQueryTemplate, &window);
  const PanelTemplate& t = panel->panel_template();
  for (size_t i = 0; i < t.control_count; ++i) {
    const ControlTemplate& c = t.controls[i];
    if (c.kind != ControlKind::kDropDownList) continue;
    auto* label = find_control_as<QLabel>(*panel, c.buddy);
    QWidget* list = find_control(*panel, c.id);
    ASSERT_NE(label, nullptr) << c.id;
    // What a screen reader is told: the list is labelled by that label.
    QAccessibleInterface* list_access = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(list_access, nullptr);
    bool labelled = false;
    for (const auto& [other, relation] : list_access->relations(QAccessible::Label))
      labelled |= other->object() == label;
    // A click in the list's middle reaches it, not a group box; a list in a group is its child.
    auto* group = qobject_cast<QGroupBox*>(list->parentWidget());
    const char* expected = c.id == 1001 || c.id == 1011   ? nullptr
                           : c.id == 1012 || c.id == 1013 ? "Outcome"
                           : c.id <= 1005                 ? "Officer"
                                                          : "Suspect";
    EXPECT_EQ(
        std::tuple(label->buddy(), labelled,
                   panel->client()->childAt(list->mapTo(panel->client(), list->rect().center())),
                   group ? group->title().toStdString() : "", label->parentWidget()),
        std::tuple(list, true, list, expected ? expected : "", list->parentWidget()))
        << c.id;
  }
  Panel* timeline = build_panel(kTimelineTemplate, &window, QPoint(0, 400));
  window.activateWindow();
  QApplication::setActiveWindow(&window);
  // Tab stops in template order, the play group one stop; other panels and labels passed over.
  timeline->play_group()->button(1019)->setChecked(true);
  const uint16_t order[] = {1019, 1029, 1046, 1030, 1031, 1033, 1034, 1036, 1037, 1039, 1040};
  find_control(*timeline, 1040)->setFocus();
  for (uint16_t id : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), find_control(*timeline, id)) << id;
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), find_control(*timeline, 1039));

  int clicks = 0;
  QObject::connect(find_control_as<QPushButton>(*timeline, 1039), &QPushButton::clicked,
                   [&clicks] { ++clicks; });
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(std::tuple(clicks, window.keys), std::tuple(1, 0));
  // No overlaps: controls apart, label text 2 px clear, grouped controls below the group's title.
  const auto drawn_text = [](const QLabel& label) {
    const QRect box = label.contentsRect().translated(label.pos());
    const int width =
        std::min(QFontMetrics(label.font()).horizontalAdvance(label.text()), box.width());
    const int left =
        label.alignment() & Qt::AlignHCenter ? box.center().x() - width / 2 : box.left();
    return QRect(left, box.top(), width, box.height());
  };
  for (uint16_t id : kPanelCreationOrder) {
    Panel* panel = build_panel(id, &window);
    panel->show_panel();
    const PanelTemplate& t = panel->panel_template();
    for (size_t i = 0; i < t.control_count; ++i) {
      const QWidget* control = find_control(*panel, t.controls[i].id);
      if (auto* group = qobject_cast<const QGroupBox*>(control->parentWidget())) {
        EXPECT_TRUE(group->contentsRect().contains(control->geometry()))
            << id << ": " << t.controls[i].id << " in " << group->title().toStdString();
      }
      const auto* label = qobject_cast<const QLabel*>(control);
      const QRect text = label ? drawn_text(*label).adjusted(-2, 0, 2, 0) : QRect();
      for (size_t j = 0; j < t.control_count; ++j) {
        const QWidget* other = find_control(*panel, t.controls[j].id);
        if (j == i || other->parentWidget() != control->parentWidget()) continue;
        EXPECT_FALSE(j > i && other->geometry().intersects(control->geometry()))
            << id << ": " << t.controls[i].id << " and " << t.controls[j].id;
        EXPECT_FALSE(other->geometry().intersects(text))
            << id << ": the text of " << t.controls[i].id << " and " << t.controls[j].id;
      }
    }
  }
}

}  // namespace valdrin::panel_frame_test
