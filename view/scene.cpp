// The fixed-function GL side of the scene: it only submits what columns.h
// builds and applies what camera.h computes.
#include "view/scene.h"

#include <GL/gl.h>

#include <cstring>

#include "core/message.h"

namespace valdrin {

void build_side_texture() {
  // 64 x 64 texels, rows from t = 0 up: seven eighths white, the top eighth
  // black, so that each unit of t shows as a white band with a black cap.
  static uint8_t texels[64 * 64 * 3];
  std::memset(texels, 255, 56 * 64 * 3);
  std::memset(texels + 56 * 64 * 3, 0, 8 * 64 * 3);
  glBindTexture(GL_TEXTURE_2D, kSideTexture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void make_map(const GisSettings& gis, const std::string& data_dir) {
  Image image;
  if (!compose_map(gis, data_dir, image)) return;
  glBindTexture(GL_TEXTURE_2D, kMapTexture);
  // Rows are tightly packed; compose_map hands over only power-of-two
  // widths of 4 or more, whose rows fit the default alignment of 4.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               image.pixels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  const GLfloat border[4] = {kClearGrey, kClearGrey, kClearGrey, 1.0f};
  glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
  free_image(image);
}

void load_scene_gl(Scene& scene, const GisSettings& gis, const std::string& data_dir) {
  glDisable(GL_CULL_FACE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glClearColor(kClearGrey, kClearGrey, kClearGrey, 1.0f);
  glPointSize(3);
  glLineWidth(2);
  build_side_texture();
  make_map(gis, data_dir);
  forget_frame(scene.frame);
}

void init_scene(Scene& scene, AnalysisState& state, const std::string& data_dir) {
  // The cell table first: the map's composition reads nothing of it, but a
  // missing selection file is the first thing start-up reports.
  init_selection((data_dir + "/selections/default.sel").c_str(), state.cells);
  // The names of the folder's areas; a folder without them keeps the fixed
  // zip rule, a damaged table is said and left unused.
  std::string error;
  if (!read_area_table(data_dir + "/" + kAreaTableFile, state.areas, error))
    show_message("ERROR", error.c_str());
  load_scene_gl(scene, state.gis, data_dir);
  build_cell_texcoords(scene.texcoords);
  rebuild_columns(scene, state);
}

namespace {

void put_vertex(ColumnVertex*& out, float s, float t, const float colour[3],
                const int32_t position[3]) {
  *out++ = ColumnVertex{s,
                        t,
                        {colour[0], colour[1], colour[2]},
                        static_cast<float>(position[0]),
                        static_cast<float>(position[1]),
                        static_cast<float>(position[2])};
}

}  // namespace

void rebuild_columns(Scene& scene, AnalysisState& state) {
  count_state(state);
  analyse_state(state);
  restyle_columns(scene, state);
}

void restyle_columns(Scene& scene, const AnalysisState& state) {
  const CountTables& counts = state.counts;
  for (int i = 0; i < kCellCount; ++i)
    scene.looks[i] = column_look(counts.cells[i], (state.cells.words[i][0] & kSelectedBit) != 0,
                                 state.colouring, state.cell_class[i]);
  const uint16_t per_band = events_per_band(state);
  scene.events_per_band = per_band;
  build_top_quads(counts, scene.looks, scene.texcoords, scene.tops);
  build_side_quads(counts, scene.looks, scene.events_per_band, scene.sides);
  const uint32_t legend_for = static_cast<uint32_t>(state.colouring) << 16 | per_band;
  if (legend_for != scene.legend_for) {
    // The corner may have shown another legend: the next frame is drawn
    // whole.
    Image legend;
    scene.legend.rgb.clear();
    scene.legend.width = scene.legend.height = 0;
    if (make_legend(state.colouring, per_band, legend)) {
      scene.legend.width = legend.width, scene.legend.height = legend.height;
      scene.legend.rgb.assign(legend.pixels, legend.pixels + legend.width * legend.height * 3);
      free_image(legend);
    }
    scene.legend_for = legend_for;
    forget_frame(scene.frame);
  }
  scene.heights = counts;

  scene.top_vertices.resize(scene.tops.size() * 4);
  ColumnVertex* out = scene.top_vertices.data();
  for (const TopQuad& q : scene.tops)
    for (int k = 0; k < 4; ++k) put_vertex(out, q.tex[k].s, q.tex[k].t, q.colour, q.vertex[k]);

  uint32_t drawn = 0;
  for (int i = 0; i < kCellCount; ++i) {
    scene.side_start[i] = drawn * 4;
    for (int f = 0; f < 4; ++f) drawn += scene.sides[i * 4 + f].vertex[2][2] != 0;
  }
  scene.side_start[kCellCount] = drawn * 4;
  scene.side_vertices.resize(drawn * 4);
  out = scene.side_vertices.data();
  for (const SideQuad& q : scene.sides) {
    if (q.vertex[2][2] == 0) continue;
    for (int k = 0; k < 4; ++k) put_vertex(out, q.tex[k][0], q.tex[k][1], q.colour, q.vertex[k]);
  }
}

namespace {

// Gathers quads, in array order, into array draws: a draw runs on while
// the quads follow one another in the array and agree on reaching beyond
// the view volume. A quad whose side is in doubt is drawn alone, so that
// what the renderer makes of it depends on nothing else.
class QuadBatcher {
 public:
  void add(uint32_t first_vertex, bool beyond, bool doubtful) {
    if (count_ > 0 && (first_vertex != first_ + count_ || beyond != beyond_ || doubtful)) flush();
    if (count_ == 0) first_ = first_vertex, beyond_ = beyond;
    count_ += 4;
    if (doubtful) flush();
  }
  void flush() {
    if (count_ > 0)
      glDrawArrays(GL_QUADS, static_cast<GLint>(first_), static_cast<GLsizei>(count_));
    count_ = 0;
  }

 private:
  uint32_t first_ = 0, count_ = 0;
  bool beyond_ = false;
};

// Tops with the Map texture, then sides with the Side texture, each in scan
// order, of the cells marked in `mask` (entries of the view table).
void draw_cells(const Scene& scene, const uint8_t mask[kCellCount]) {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, kMapTexture);
  QuadBatcher batch;
  if (!scene.top_vertices.empty()) {  // empty before the first rebuild
    glInterleavedArrays(GL_T2F_C3F_V3F, sizeof(ColumnVertex), scene.top_vertices.data());
    for (int i = 0; i < kCellCount; ++i)
      if (mask[i])
        batch.add(static_cast<uint32_t>(i) * 4, (mask[i] & kTopBeyond) != 0,
                  (mask[i] & kNearBoundary) != 0);
    batch.flush();
  }
  glBindTexture(GL_TEXTURE_2D, kSideTexture);
  if (!scene.side_vertices.empty()) {
    glInterleavedArrays(GL_T2F_C3F_V3F, sizeof(ColumnVertex), scene.side_vertices.data());
    // A cell has all four faces in the array or none.
    for (int i = 0; i < kCellCount; ++i)
      if (mask[i] && scene.side_start[i + 1] > scene.side_start[i])
        for (int f = 0; f < 4; ++f)
          batch.add(scene.side_start[i] + 4 * f, (mask[i] & (kFaceBeyond << f)) != 0,
                    (mask[i] & kNearBoundary) != 0);
    batch.flush();
  }
  // glInterleavedArrays switched on the three arrays it names.
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
}

// The legend over the bottom-right corner, in window pixels (the bottom-left
// one carries animate's date label): drawn after every frame, whole or
// partial, so the corner always shows it.
void draw_legend(const Scene& scene, const ViewState& view) {
  const auto& legend = scene.legend;
  constexpr int kMargin = 8;
  // The raster position must lie in the viewport for anything to be drawn.
  const int left = view.viewport_width - kMargin - legend.width;
  if (legend.rgb.empty() || left < 0 || view.viewport_height <= kMargin) return;
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRasterPos2f(-1.0f + 2.0f * left / view.viewport_width,
                -1.0f + 2.0f * kMargin / view.viewport_height);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glDrawPixels(legend.width, legend.height, GL_RGB, GL_UNSIGNED_BYTE, legend.rgb.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void start_frame(const ViewState& view) {
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  apply_camera(view);
}

void draw_whole_frame(Scene& scene, const ViewState& view, const uint8_t in_view[kCellCount]) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  start_frame(view);
  draw_cells(scene, in_view);
  draw_legend(scene, view);
  remember_frame(scene.frame, view, scene.heights.cells, scene.looks);
}

}  // namespace

void apply_camera(const ViewState& view) {
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(make_camera(view).model_view);
}

void draw_frame(Scene& scene, const ViewState& view) {
  uint8_t in_view[kCellCount];
  find_columns_in_view(view, scene.heights, in_view);
  draw_whole_frame(scene, view, in_view);
}

void redraw_view(Scene& scene, const ViewState& view) {
  uint8_t in_view[kCellCount];
  find_columns_in_view(view, scene.heights, in_view);
  RedrawPlan plan;
  if (!plan_redraw(scene.frame, view, scene.heights.cells, scene.looks, in_view, scene.cell_rects,
                   plan)) {
    draw_whole_frame(scene, view, in_view);
    return;
  }
  if (plan.rect_count == 0) return;
  start_frame(view);
  // The scissor confines the clear and every fragment to the rectangle;
  // inside it each pass draws every column that can reach it, in the
  // frame's order, so each pixel gets the fragments a whole frame gives it.
  glEnable(GL_SCISSOR_TEST);
  uint8_t mask[kCellCount];
  for (int k = 0; k < plan.rect_count; ++k) {
    const PixelRect& r = plan.rects[k];
    glScissor(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    columns_meeting(scene.cell_rects, in_view, r, mask);
    draw_cells(scene, mask);
  }
  glDisable(GL_SCISSOR_TEST);
  draw_legend(scene, view);
  remember_frame(scene.frame, view, scene.heights.cells, scene.looks);
}

void resize_view(ViewState& view, int16_t width, int16_t height) {
  resize_camera(view, width, height);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(make_camera(view).projection);
}

void free_scene() {
  const GLuint textures[2] = {kMapTexture, kSideTexture};
  glDeleteTextures(2, textures);
}

}  // namespace valdrin
