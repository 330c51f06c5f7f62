// The analysis state: everything a view of the data is counted and drawn
// from. The Event store with the keys that frame it, the time window, the
// Query masks, the count tables of the last counting pass, the Cell table
// with its selected flags, and beside them the map settings and the
// colouring of the columns. The viewer holds one for its whole run,
// valdrin-cli one per command, and every benchmark and test fixture builds
// its own; functions take the parts they use by reference.
//
// The time window runs from window_start() to window_end(). Its end is kept
// as the Time key of the Query record, where the counting pass compares it,
// and its start in TimeState; the two accessors name them for a reader.
#pragma once

#include <cstdint>
#include <string>

#include "core/area_table.h"
#include "core/cell_table.h"
#include "core/generator.h"
#include "core/hotspots.h"
#include "core/query.h"
#include "core/store.h"

namespace valdrin {

// The GIS settings: which map lies under the columns, which overlays are
// painted on it, and what a Ctrl-click selects. Map choice sits in bits 0-2
// and the Selection mode in bits 3-5 of one byte; writing one leaves the
// others.
struct GisSettings {
  uint16_t overlay_flags = 0x0034;  // major roads, highways, highway labels
  uint8_t map_and_mode = 0;         // Basemap, Keymap selection
};

uint8_t map_choice(const GisSettings& gis);
uint8_t selection_mode(const GisSettings& gis);
void set_map_choice(GisSettings& gis, uint8_t choice);
void set_selection_mode(GisSettings& gis, uint8_t mode);

// How the columns are coloured. Events: every top shows its piece of the
// map, half bright when selected, and the sides carry one white band per
// event (or per events_per_band events). Hot spots: each column tinted by
// its Gi* class. Change: by the class of its change from the base window.
enum Colouring : uint8_t { kColourByEvents = 0, kColourByHotSpots = 1, kColourByChange = 2 };
constexpr int kColouringCount = 3;

struct AnalysisState {
  EventStore store;
  TimeState time;                 // First key, Last key and the window's start
  Event query = initial_query();  // the Query masks; its key is the window's end
  CountTables counts = {};
  CellTable cells = {};
  AreaTable areas;  // the data folder's zip codes and names; empty: the fixed rule
  GisSettings gis;
  uint8_t colouring = kColourByEvents;
  uint8_t neighbourhood = 1;  // Gi*'s distance in cells, 1 to 3
  bool fdr = true;            // Gi*'s classes with the false discovery rate
  uint16_t band_scale = 0;    // events per band; 0 lets the data choose
  RandomState random;         // the generator's sequence, which goes on between runs

  // What analyse_state made of the counts, for the colouring in force.
  uint16_t auto_band_scale = 1;  // chosen once per new data (choose_band_scale)
  HotSpots hot;                  // Gi* of the window (hot-spot colouring)
  uint16_t base_start = 0, base_end = 0;
  bool has_base = false;               // a base window lies before the window
  CountTables before = {};             // the base window's counts (change colouring)
  int8_t cell_class[kCellCount] = {};  // the class each column is tinted by; 0 for none
};

inline uint16_t& window_start(AnalysisState& state) { return state.time.window_start; }
inline uint16_t window_start(const AnalysisState& state) { return state.time.window_start; }
inline uint16_t& window_end(AnalysisState& state) { return state.query.key; }
inline uint16_t window_end(const AnalysisState& state) { return state.query.key; }

// What a change touched, as the one change routine of a program takes it
// (the viewer's apply_change): every edit of the state is reported there
// once, and the routine recounts, remakes the map or restyles the columns
// as the bits say, shows the state on the panels that show it, and asks
// for a frame.
enum ChangeBits : unsigned {
  kDataChanged = 1u << 0,       // a new Event store and the keys that frame it
  kWindowChanged = 1u << 1,     // the time window or the range it plays over
  kQueryChanged = 1u << 2,      // the Query masks
  kMapChanged = 1u << 3,        // the map choice or the overlays
  kSelectionChanged = 1u << 4,  // the cells' selected flags or the Selection mode
  kColouringChanged = 1u << 5,  // how the columns are coloured
  kInfoTextChanged = 1u << 6,   // the report text; an append also shows its panel
};

// The changes after which the counts no longer hold.
constexpr unsigned kRecountChanges = kDataChanged | kWindowChanged | kQueryChanged;

// The counting pass over the state: the count tables for the events of the
// store in the window that pass the masks.
void count_state(AnalysisState& state);

// The statistics of the colouring in force over the counts as they stand:
// Gi* for hot spots, the base window's counts for change; and each cell's
// class. Events colouring needs none: every class is 0.
void analyse_state(AnalysisState& state);

// The counts of base_start .. base_end under the same masks, into `before`.
void count_base_window(AnalysisState& state);

// For new data: the events per band that keeps the busiest cell over the
// data's whole range at 1000 bands or fewer (1, 2, 5, 10, 20, 50, ...).
void choose_band_scale(AnalysisState& state);

// The events one band of a column stands for: the chosen band scale, or
// the data's own.
uint16_t events_per_band(const AnalysisState& state);

// The line that sums the analysis up: for hot spots the hot and cold cells
// per confidence level; for change the totals then and now with their z;
// "" for events.
std::string analysis_summary(const AnalysisState& state);

// What the read-out adds for `cell` under the colouring in force, a line
// after a line feed: "Gi* z 2.31, p 0.021: hot spot, 95%" (or "not
// significant", or "outside the study area"); "Then 4, now 9, z 2.00" for
// change; "" for events.
std::string analysis_readout(const AnalysisState& state, int cell);

}  // namespace valdrin
