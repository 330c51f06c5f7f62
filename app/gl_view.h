// The 3-D view: the OpenGL widget that stays the main window's central
// widget for the whole run. Qt makes its context current for the three GL
// entry points; everything else that draws or rebuilds goes through
// with_context. Sizes and pointer positions are taken in the framebuffer's
// device pixels, whatever the screen's pixel ratio. A pointer that rests over the view shows the
// read-out of the cell under it, which touches no state and draws nothing.
#pragma once

#include <QOpenGLWidget>
#include <QTimer>
#include <functional>

#include "app/navigation.h"
#include "app/program.h"

namespace valdrin {

class GlView : public QOpenGLWidget {
 public:
  GlView(Program& program, QWidget* parent = nullptr);
  ~GlView() override;

  // Runs `work` with the view's context current (a no-op before the
  // context exists).
  void with_context(const std::function<void()>& work);
  bool has_context() const { return context_ready_; }

  // Releases the scene's textures ahead of the context.
  void release_scene();

  // Schedules the next frame: redraw_view runs in paintGL.
  void present_frame() { update(); }

  // What the mouse handlers ask of the window.
  void set_hooks(NavigationHooks hooks) { hooks_ = std::move(hooks); }

 protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  Program& program_;
  NavigationHooks hooks_;
  bool context_ready_ = false;
  // The framebuffer object the last frame went to: Qt makes a new one when
  // the widget is resized or moves to another window, and a new one holds
  // no frame.
  unsigned frame_target_ = 0;
  // Fires once the pointer has rested over the view with no button held;
  // then the read-out of the cell under it shows as a tooltip.
  QTimer hover_;
  QPointF hover_at_;  // where the pointer rests, in logical pixels
  void show_readout();
};

}  // namespace valdrin
