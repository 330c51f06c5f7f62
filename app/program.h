// The program's state: one instance of every state struct, held by main()
// for the whole run and handed by reference to the functions that use it.
#pragma once

#include <string>

#include "core/cell_table.h"
#include "core/generator.h"
#include "core/query.h"
#include "core/store.h"
#include "core/time_key.h"
#include "view/camera.h"
#include "view/map_layers.h"
#include "view/scene.h"

namespace valdrin {

// The Timeline Panel's bar range and the playback Step unit.
struct PlaybackState {
  uint16_t range_min = kFirstValidKey;
  uint16_t range_max = kLastValidKey;
  uint8_t step_unit = kStepDay;
};

struct Program {
  EventStore store;
  TimeState time;
  Event query = initial_query();
  CountTables counts = {};
  CellTable cells = {};
  RandomState random;
  GisSettings gis;
  ViewState view;
  Scene scene;
  PlaybackState playback;
  // Where the maps, overlays and cell table are found; relative to the
  // working directory, as the program always opens them.
  std::string data_dir = "data";

  SceneSources sources() { return SceneSources{store, query, time, counts, cells}; }
};

}  // namespace valdrin
