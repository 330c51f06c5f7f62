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

void show_timeline(Panel& panel, const AnalysisState& state, const PlaybackState& playback) {
  const TimelineDisplay display = timeline_display(state.time, state.query, playback);
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

void init_timeline_panel(Panel& panel, AnalysisState& state, PlaybackState& playback,
                         std::function<void(unsigned changed)> report) {
  Panel* p = &panel;
  AnalysisState* s = &state;
  PlaybackState* b = &playback;
  auto command = [s, b, report](int id, int code, int selected) {
    unsigned changed = 0;
    on_timeline_command(*s, *b, id, code, selected, changed);
    if (changed != 0 && report) report(changed);
  };

  if (auto* list = find_control_as<QComboBox>(panel, kStepUnitList)) {
    for (const char* item : kStepUnitItems) list->addItem(QString::fromLatin1(item));
    list->setCurrentIndex(playback.step_unit);
    // activated: the user's choices only; setting the index from code
    // notifies nothing.
    QObject::connect(list, &QComboBox::activated, p, [command](int index) {
      command(kStepUnitList, kNotifySelectionChanged, index);
    });
  }
  if (QButtonGroup* group = panel.play_group()) {
    if (QAbstractButton* button = group->button(play_button_of(playback.play_state)))
      button->setChecked(true);
    // A button that becomes checked, by whatever means, is the one pressed.
    // A click on the checked one changes nothing, as its command would not.
    QObject::connect(group, &QButtonGroup::idToggled, p, [command](int id, bool checked) {
      if (checked) command(id, kNotifyClicked, 0);
    });
  }
  for (uint16_t id : kButtons)
    if (auto* button = find_control_as<QPushButton>(panel, id))
      QObject::connect(button, &QPushButton::clicked, p,
                       [command, id] { command(id, kNotifyClicked, 0); });
}

}  // namespace valdrin
