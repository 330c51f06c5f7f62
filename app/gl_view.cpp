// The GL widget's entry points: set up, resize and draw the scene.
#include "app/gl_view.h"

#include <algorithm>

namespace valdrin {

GlView::GlView(Program& program, std::function<void()> ready, QWidget* parent)
    : QOpenGLWidget(parent), program_(program), ready_(std::move(ready)) {
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(1, 1);
}

GlView::~GlView() { release_scene(); }

void GlView::with_context(const std::function<void()>& work) {
  if (!scene_ready_) return;
  makeCurrent();
  work();
  doneCurrent();
}

void GlView::release_scene() {
  if (!scene_ready_) return;
  makeCurrent();
  free_scene();
  doneCurrent();
  scene_ready_ = false;
}

void GlView::initializeGL() {
  SceneSources sources = program_.sources();
  init_scene(program_.scene, sources, program_.gis, program_.data_dir);
  scene_ready_ = true;
  if (ready_) ready_();
}

void GlView::resizeGL(int width, int height) {
  // Qt passes device pixels here. The View state keeps 16-bit sizes.
  const auto clamp16 = [](int v) { return static_cast<int16_t>(std::clamp(v, 0, 32767)); };
  resize_view(program_.view, clamp16(width), clamp16(height));
}

void GlView::paintGL() { draw_frame(program_.view); }

}  // namespace valdrin
