// The Analysis Panel's widgets.
#include "panels/analysis_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "panels/analysis.h"
#include "panels/notification.h"

namespace valdrin {

void show_analysis(Panel& panel, const AnalysisState& state) {
  const AnalysisDisplay display = analysis_display(state);
  // Setting an index from code sends no `activated`: nothing is reported.
  const std::pair<uint16_t, int> lists[] = {{kColourByList, display.colour_by},
                                            {kNeighbourhoodList, display.neighbourhood},
                                            {kBandScaleList, display.band_scale}};
  for (const auto& [id, item] : lists)
    if (auto* list = find_control_as<QComboBox>(panel, id)) list->setCurrentIndex(item);
  if (auto* box = find_control_as<QCheckBox>(panel, kFdrCheckBox)) box->setChecked(display.fdr);
  if (auto* label = find_control_as<QLabel>(panel, kAnalysisSummary))
    label->setText(QString::fromStdString(display.summary));
}

void init_analysis_panel(Panel& panel, AnalysisState& state,
                         std::function<void(unsigned changed)> report) {
  AnalysisState* s = &state;
  auto command = [s, report](int id, int code, int value) {
    unsigned changed = 0;
    on_analysis_command(*s, id, code, value, changed);
    if (changed != 0 && report) report(changed);
  };
  const auto fill = [&panel, &command](uint16_t id, auto items) {
    auto* list = find_control_as<QComboBox>(panel, id);
    if (list == nullptr) return;
    for (const QString& item : items) list->addItem(item);
    QObject::connect(list, &QComboBox::activated, &panel,
                     [command, id](int index) { command(id, kNotifySelectionChanged, index); });
  };
  QStringList colour_by, neighbourhood, band_scale;
  for (const char* item : kColourByItems) colour_by << QString::fromUtf8(item);
  for (const char* item : kNeighbourhoodItems) neighbourhood << QString::fromUtf8(item);
  for (uint16_t k : kBandScales)
    band_scale << (k == 0 ? QStringLiteral("Auto") : QString::number(k));
  fill(kColourByList, colour_by);
  fill(kNeighbourhoodList, neighbourhood);
  fill(kBandScaleList, band_scale);
  if (auto* box = find_control_as<QCheckBox>(panel, kFdrCheckBox))
    QObject::connect(box, &QCheckBox::clicked, &panel,
                     [command](bool checked) { command(kFdrCheckBox, kNotifyClicked, checked); });
  show_analysis(panel, state);
}

}  // namespace valdrin
