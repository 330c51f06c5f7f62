// The Timeline Panel's widgets: set up once, refreshed by every rebuild.
#include "panels/timeline_panel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace valdrin {

namespace {

constexpr const char* kStepUnitItems[] = {"Shift", "Day", "Month", "Year"};

constexpr uint16_t kButtons[] = {
    kPinStartButton,     kShiftForwardButton, kShiftBackButton,   kDayForwardButton, kDayBackButton,
    kMonthForwardButton, kMonthBackButton,    kYearForwardButton, kYearBackButton,
};

uint16_t play_button_of(uint8_t play_state) {
  switch (play_state) {
    case kPlayBackward: return kPlayBackwardButton;
    case kPlayForward: return kPlayForwardButton;
    default: return kPauseButton;
  }
}

}  // namespace

void update_timeline_display(Panel& panel, const TimeState& time, const Event& query,
                             const PlaybackState& playback) {
  const TimelineDisplay display = timeline_display(time, query, playback);
  if (auto* bar = find_control_as<QProgressBar>(panel, kWindowEndBar)) {
    bar->setRange(display.bar_min, display.bar_max);
    bar->setValue(display.bar_position);
    // The bar paints its chunk in the palette's highlight colour.
    const Rgb rgb = colour_rgb(display.bar_colour);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Highlight, QColor(rgb.r, rgb.g, rgb.b));
    bar->setPalette(palette);
  }
  if (auto* label = find_control_as<QLabel>(panel, kDateLabel))
    label->setText(QString::fromLatin1(display.date_label));
}

void init_timeline_panel(Panel& panel, TimelineSources& sources) {
  Panel* p = &panel;
  TimelineSources* s = &sources;
  sources.refresh = [p, s] { update_timeline_display(*p, s->time, s->query, s->playback); };

  if (auto* list = find_control_as<QComboBox>(panel, kStepUnitList)) {
    for (const char* item : kStepUnitItems) list->addItem(QString::fromLatin1(item));
    list->setCurrentIndex(sources.playback.step_unit);
    // activated: the user's choices only; setting the index from code
    // notifies nothing.
    QObject::connect(list, &QComboBox::activated, p, [s](int index) {
      on_timeline_command(*s, kStepUnitList, kNotifySelectionChanged, index);
    });
  }
  if (QButtonGroup* group = panel.play_group()) {
    if (QAbstractButton* button = group->button(play_button_of(sources.playback.play_state)))
      button->setChecked(true);
    QObject::connect(group, &QButtonGroup::idClicked, p,
                     [s](int id) { on_timeline_command(*s, id, kNotifyClicked, 0); });
  }
  for (uint16_t id : kButtons)
    if (auto* button = find_control_as<QPushButton>(panel, id))
      QObject::connect(button, &QPushButton::clicked, p,
                       [s, id] { on_timeline_command(*s, id, kNotifyClicked, 0); });

  reset_timeline(sources);
}

}  // namespace valdrin
