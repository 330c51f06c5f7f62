// The fixed-function GL side of the scene: it only submits what columns.h
// builds and applies what camera.h computes.
#include "view/scene.h"

#include <GL/gl.h>

#include <cstring>

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

void init_scene(Scene& scene, SceneSources& sources, const GisSettings& gis,
                const std::string& data_dir) {
  glDisable(GL_CULL_FACE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glClearColor(kClearGrey, kClearGrey, kClearGrey, 1.0f);
  glPointSize(3);
  glLineWidth(2);
  build_side_texture();
  init_selection((data_dir + "/selections/default.sel").c_str(), sources.cells);
  make_map(gis, data_dir);
  build_cell_texcoords(scene.texcoords);
  rebuild_columns(scene, sources);
}

namespace {

// Compiles one list from arrays of whole quads: four vertices each, with a
// colour, a texture coordinate and a position per vertex. One array draw
// per list keeps the compile cheap; the list holds the same quads as a
// glBegin/glEnd batch would.
void compile_quads(unsigned list, const std::vector<float>& colours,
                   const std::vector<float>& texcoords, const std::vector<int32_t>& vertices) {
  glDeleteLists(list, 1);
  glNewList(list, GL_COMPILE);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glColorPointer(3, GL_FLOAT, 0, colours.data());
  glTexCoordPointer(2, GL_FLOAT, 0, texcoords.data());
  glVertexPointer(3, GL_INT, 0, vertices.data());
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 3));
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glEndList();
}

}  // namespace

void rebuild_columns(Scene& scene, SceneSources& sources) {
  if (scene.refresh.refresh != nullptr) scene.refresh.refresh(scene.refresh.context);
  count_events(sources.store, sources.query, sources.time, sources.counts);
  build_top_quads(sources.counts, sources.cells, scene.texcoords, scene.tops);
  build_side_quads(sources.counts, scene.sides);

  std::vector<float>& colours = scene.colours;
  std::vector<float>& texcoords = scene.texcoord_array;
  std::vector<int32_t>& vertices = scene.vertex_array;
  colours.resize(scene.tops.size() * 12);
  texcoords.resize(scene.tops.size() * 8);
  vertices.resize(scene.tops.size() * 12);
  float* colour = colours.data();
  float* tex = texcoords.data();
  int32_t* vertex = vertices.data();
  for (const TopQuad& q : scene.tops) {
    for (int k = 0; k < 4; ++k) {
      *colour++ = q.grey;
      *colour++ = q.grey;
      *colour++ = q.grey;
      *tex++ = q.tex[k].s;
      *tex++ = q.tex[k].t;
      for (int d = 0; d < 3; ++d) *vertex++ = q.vertex[k][d];
    }
  }
  compile_quads(kTopList, colours, texcoords, vertices);

  // Faces of zero height cover no pixel: they are left out of the list.
  size_t drawn = 0;
  for (const SideQuad& q : scene.sides) drawn += q.vertex[2][2] != 0;
  colours.resize(drawn * 12);
  texcoords.resize(drawn * 8);
  vertices.resize(drawn * 12);
  colour = colours.data();
  tex = texcoords.data();
  vertex = vertices.data();
  for (const SideQuad& q : scene.sides) {
    if (q.vertex[2][2] == 0) continue;
    for (int k = 0; k < 4; ++k) {
      *colour++ = q.grey;
      *colour++ = q.grey;
      *colour++ = q.grey;
      *tex++ = static_cast<float>(q.tex[k][0]);
      *tex++ = static_cast<float>(q.tex[k][1]);
      for (int d = 0; d < 3; ++d) *vertex++ = q.vertex[k][d];
    }
  }
  compile_quads(kSideList, colours, texcoords, vertices);
}

void draw_columns() {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, kMapTexture);
  glCallList(kTopList);
  glBindTexture(GL_TEXTURE_2D, kSideTexture);
  glCallList(kSideList);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
}

void apply_camera(const ViewState& view) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0, 0, -view.distance);
  glRotatef(-view.tilt, 1, 0, 0);
  glRotatef(-view.heading, 0, 0, 1);
  glTranslatef(-view.look_at[0], -view.look_at[1], -view.look_at[2]);
  glScalef(1, 1, 0.25f);
}

void draw_frame(const ViewState& view) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  apply_camera(view);
  draw_columns();
}

void resize_view(ViewState& view, int16_t width, int16_t height) {
  const Frustum f = resize_frustum(view, width, height);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(f.left, f.right, f.bottom, f.top, f.near_plane, f.far_plane);
}

void free_scene() {
  const GLuint textures[2] = {kMapTexture, kSideTexture};
  glDeleteTextures(2, textures);
  glDeleteLists(kTopList, 2);
}

}  // namespace valdrin
