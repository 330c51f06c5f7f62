// The OpenGL scene of the main view: the fixed state, the Side texture
// (11) and the Map texture (10), the Top list (10) and Side list (11) that
// hold every column, the rebuild step that recounts and recompiles them,
// the frame with its camera transform, and the projection on resize. A
// context must be current for every call here.
#pragma once

#include <string>
#include <vector>

#include "core/cell_table.h"
#include "core/query.h"
#include "view/camera.h"
#include "view/columns.h"
#include "view/map_layers.h"
#include "view/texcoords.h"

namespace valdrin {

constexpr unsigned kMapTexture = 10;
constexpr unsigned kSideTexture = 11;
constexpr unsigned kTopList = 10;
constexpr unsigned kSideList = 11;
constexpr float kClearGrey = 0.498f;

// Called first by every rebuild, so that the Timeline Panel can show the
// Time window; does nothing until a panel installs it.
struct RefreshHook {
  void (*refresh)(void* context) = nullptr;
  void* context = nullptr;
};

// The program holds one Scene, next to the GL context it belongs to.
struct Scene {
  CellTexcoords texcoords;
  RefreshHook refresh;
  std::vector<TopQuad> tops;  // the geometry of the last rebuild
  std::vector<SideQuad> sides;
  // Per-vertex arrays the lists are compiled from, kept to spare the
  // allocations on every rebuild.
  std::vector<float> colours;
  std::vector<float> texcoord_array;
  std::vector<int32_t> vertex_array;
};

// What the columns are counted from and coloured by.
struct SceneSources {
  const EventStore& store;
  const Event& query;
  const TimeState& time;
  CountTables& counts;
  CellTable& cells;
};

// Start-up: fixed state, Side texture, the cell table from data_dir, the
// Map texture, the corner table and the first rebuild.
void init_scene(Scene& scene, SceneSources& sources, const GisSettings& gis,
                const std::string& data_dir);

// Composes the map for the settings and loads it into texture 10. When
// nothing can be composed (another Map choice, an unreadable base map) the
// texture keeps its image.
void make_map(const GisSettings& gis, const std::string& data_dir);

void build_side_texture();

// The rebuild step: refresh hook, counting pass, both lists recompiled.
void rebuild_columns(Scene& scene, SceneSources& sources);

// Loads the model-view matrix with the camera transform of `view`.
void apply_camera(const ViewState& view);

// Clears and draws one frame with the camera of `view`; does not present.
void draw_frame(const ViewState& view);
void draw_columns();

// Stores the size and sets viewport and frustum.
void resize_view(ViewState& view, int16_t width, int16_t height);

// Deletes both textures and both lists.
void free_scene();

}  // namespace valdrin
