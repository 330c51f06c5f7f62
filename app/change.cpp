// The change routine and the table of panels.
#include "app/change.h"

#include "app/panel_commands.h"
#include "panels/about_box.h"
#include "panels/analysis_panel.h"
#include "panels/gis_panel.h"
#include "panels/info_panel.h"
#include "panels/panel.h"
#include "panels/query_panel.h"
#include "panels/timeline_panel.h"

namespace valdrin {

namespace {

void init_gis(Panel& panel, Program& program, const std::function<void(unsigned)>& report) {
  init_gis_panel(panel, program.analysis.gis, report);
}
void show_gis(Panel& panel, Program& program) { show_gis_settings(panel, program.analysis.gis); }

void init_query(Panel& panel, Program& program, const std::function<void(unsigned)>& report) {
  init_query_panel(panel, program.analysis.query, report);
}
void show_query(Panel& panel, Program& program) { show_query_masks(panel, program.analysis.query); }

void init_timeline(Panel& panel, Program& program, const std::function<void(unsigned)>& report) {
  init_timeline_panel(panel, program.analysis, program.playback, report);
  // The panel's creation runs the time-window reset; the panel is in its
  // slot already, so the reset's change shows on it.
  reset_timeline(program);
}
void show_time(Panel& panel, Program& program) {
  show_timeline(panel, program.analysis, program.playback);
}

void init_info(Panel& panel, Program& program, const std::function<void(unsigned)>& report) {
  Program* p = &program;
  connect_info_panel(
      panel,
      [p, report] {
        info_clear(p->info);
        report(kInfoTextChanged);
      },
      [p] { save_info_text(*p); });
}
void show_info(Panel& panel, Program& program) { show_info_text(panel, program.info); }

void init_about(Panel& panel, Program&, const std::function<void(unsigned)>&) {
  init_about_box(panel);
}

void init_analysis(Panel& panel, Program& program, const std::function<void(unsigned)>& report) {
  init_analysis_panel(panel, program.analysis, report);
}
void show_analysed(Panel& panel, Program& program) { show_analysis(panel, program.analysis); }

}  // namespace

const PanelRow kPanelRows[6] = {
    {kGisTemplate, &PanelWindows::gis, init_gis, kMapChanged, show_gis},
    {kQueryTemplate, &PanelWindows::query, init_query, kQueryChanged, show_query},
    {kTimelineTemplate, &PanelWindows::timeline, init_timeline, kDataChanged | kWindowChanged,
     show_time},
    {kInfoTemplate, &PanelWindows::info, init_info, kInfoTextChanged, show_info},
    {kAboutTemplate, &PanelWindows::about, init_about, 0, nullptr},
    {kAnalysisTemplate, &PanelWindows::analysis, init_analysis,
     kRecountChanges | kSelectionChanged | kColouringChanged, show_analysed},
};

void apply_change(Program& program, unsigned changed) {
  AnalysisState& analysis = program.analysis;
  if (changed & kDataChanged) choose_band_scale(analysis);
  if (changed & kRecountChanges) count_state(analysis);
  if (changed & (kRecountChanges | kColouringChanged)) analyse_state(analysis);
  if (changed & (kRecountChanges | kSelectionChanged | kColouringChanged)) {
    restyle_columns(program.scene, analysis);
    program.view.events_per_band = program.scene.events_per_band;
  }
  for (const PanelRow& row : kPanelRows) {
    Panel* panel = program.panels.*row.slot;
    if (panel != nullptr && (row.shows & changed) && row.show != nullptr) row.show(*panel, program);
  }
  if (changed & kMapChanged)
    with_gl(program, [&program] {
      // The tops show the texture: the frame on screen is no longer the
      // scene's, and the next one is drawn whole.
      make_map(program.analysis.gis, program.data_dir);
      forget_frame(program.scene.frame);
    });
  if (program.services.request_frame) program.services.request_frame();
}

void reset_timeline(Program& program) {
  reset_timeline(program.analysis, program.playback);
  apply_change(program, kDataChanged);
}

}  // namespace valdrin
