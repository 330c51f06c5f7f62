// The OpenGL scene of the main view: the fixed state, the Side texture
// (11) and the Map texture (10), the vertex arrays of the column tops and
// sides, the rebuild step that recounts and refills them, the frame, which
// loads the camera's matrices (camera.h), and the viewport on resize. A
// context must be current for every call here but the two that refill the
// arrays.
//
// The columns are kept in client-side vertex arrays drawn every frame, not
// in compiled display lists: the renderer spends far longer compiling a
// list than drawing it, and every step of the time window would pay that.
// The arrays hold the same quads, in the same order, as the two lists
// would.
#pragma once

#include <string>
#include <vector>

#include "core/analysis.h"
#include "view/camera.h"
#include "view/column_style.h"
#include "view/columns.h"
#include "view/frame_update.h"
#include "view/map_layers.h"
#include "view/texcoords.h"
#include "view/visibility.h"

namespace valdrin {

constexpr unsigned kMapTexture = 10;
constexpr unsigned kSideTexture = 11;
constexpr float kClearGrey = 0.498f;

// One vertex as the frame submits it, in the interleaved layout
// GL_T2F_C3F_V3F: texture coordinate, colour, position.
// Integer grid positions and texture coordinates are exact in a float.
struct ColumnVertex {
  float s, t;
  float colour[3];
  float x, y, z;
};

// The program holds one Scene, next to the GL context it belongs to.
struct Scene {
  CellTexcoords texcoords;
  std::vector<TopQuad> tops;  // the geometry of the last rebuild
  std::vector<SideQuad> sides;
  // What the frame draws: four vertices per top quad, all 5,544 of them in
  // scan order, then four per side face in the same order. Faces of zero
  // height cover no pixel and are left out. Refilled by every rebuild;
  // their capacity stays, so a rebuild allocates nothing once warm.
  std::vector<ColumnVertex> top_vertices;
  std::vector<ColumnVertex> side_vertices;
  // Where each cell's sides start in side_vertices; entry kCellCount is the
  // end.
  uint32_t side_start[kCellCount + 1] = {};
  // The Cell counts the arrays were built from: the column heights; the
  // look of each column; the events a band stands for.
  CountTables heights = {};
  ColumnLook looks[kCellCount] = {};
  float events_per_band = 1.0f;
  // The legend drawn over the bottom-right corner of every frame (none for
  // events colouring at one event per band), and what it was made for.
  struct {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // bottom row first
  } legend;
  uint32_t legend_for = 0xFFFFFFFFu;
  // What the framebuffer of the context holds, for redraw_view; and the
  // pixel rectangle of every column in view, its scratch table.
  FrameMemory frame;
  PixelRect cell_rects[kCellCount] = {};
};

// Start-up: the GL objects (load_scene_gl), the cell table from data_dir,
// the corner table and the first rebuild.
void init_scene(Scene& scene, AnalysisState& state, const std::string& data_dir);

// The scene's GL side alone, for a new context: fixed state, Side texture
// and the Map texture of the settings. The frame it held is forgotten.
void load_scene_gl(Scene& scene, const GisSettings& gis, const std::string& data_dir);

// Composes the map for the settings and loads it into texture 10. When
// nothing can be composed (another Map choice, an unreadable base map) the
// texture keeps its image. A caller with a frame on screen forgets it
// (forget_frame): the tops show the texture.
void make_map(const GisSettings& gis, const std::string& data_dir);

void build_side_texture();

// The rebuild step: the counting pass, the colouring's statistics
// (analyse_state), then restyle_columns. Needs no GL context.
void rebuild_columns(Scene& scene, AnalysisState& state);

// The column arrays refilled from the counts as they stand, each column
// with its look (column_style.h) for its count, selected flag and the
// state's colouring and class, its bands of events_per_band(state) events;
// and the legend. Needs no GL context. A frame drawn with it wants a view
// whose events_per_band is the same.
void restyle_columns(Scene& scene, const AnalysisState& state);

// Loads the model-view matrix with the camera of `view`.
void apply_camera(const ViewState& view);

// Clears and draws one frame of the scene's columns with the camera of
// `view`: tops with the Map texture, then sides with the Side texture,
// depth-tested, each in scan order. Columns wholly outside the view volume
// are left out: they would give no fragment. Blending stays off: every
// colour and texel is opaque, so blending would give back the drawn colour
// unchanged. Remembers it as what the framebuffer holds; does not present.
void draw_frame(Scene& scene, const ViewState& view);

// Brings the framebuffer to the frame draw_frame would draw now: when it
// holds the scene's last frame with the same camera, only the rectangles
// round the columns that changed since are cleared and drawn again, which
// gives the same pixels; otherwise the whole frame is drawn. The caller
// forgets the frame whenever the framebuffer may have lost it (resize, a
// new framebuffer) or the Map texture changed.
void redraw_view(Scene& scene, const ViewState& view);

// Stores the size and sets the viewport and the camera's projection.
void resize_view(ViewState& view, int16_t width, int16_t height);

// Deletes both textures.
void free_scene();

}  // namespace valdrin
