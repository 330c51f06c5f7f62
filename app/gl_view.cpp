// The GL widget's entry points: set up, resize and draw the scene.
#include "app/gl_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "app/panel_commands.h"

namespace valdrin {

namespace {

// How long the pointer rests before the read-out shows.
constexpr int kHoverRestMs = 500;

}  // namespace

GlView::GlView(Program& program, QWidget* parent) : QOpenGLWidget(parent), program_(program) {
  setFocusPolicy(Qt::StrongFocus);
  // The framebuffer keeps the last frame, so that a step of the time
  // window redraws only the columns it changed.
  setUpdateBehavior(QOpenGLWidget::PartialUpdate);
  setMinimumSize(1, 1);
  // Moves with no button held reach mouseMoveEvent only with tracking on;
  // the mouse handlers still return at once for them.
  setMouseTracking(true);
  hover_.setSingleShot(true);
  hover_.setInterval(kHoverRestMs);
  connect(&hover_, &QTimer::timeout, this, [this] { show_readout(); });
}

GlView::~GlView() { release_scene(); }

void GlView::with_context(const std::function<void()>& work) {
  if (!context_ready_) return;
  // Inside initializeGL or paintGL the context is already current and Qt
  // expects it to stay so.
  if (QOpenGLContext::currentContext() == context()) {
    work();
    return;
  }
  makeCurrent();
  work();
  doneCurrent();
}

void GlView::release_scene() {
  if (!context_ready_) return;
  makeCurrent();
  free_scene();
  doneCurrent();
  context_ready_ = false;
}

void GlView::initializeGL() {
  context_ready_ = true;
  // The scene is set up once in a run, after the window is up
  // (MainWindow::set_up). A context Qt makes anew later (the widget moved
  // to another window) starts empty: it gets the scene's GL objects again,
  // and nothing else runs a second time.
  if (program_.set_up_runs > 0)
    load_scene_gl(program_.scene, program_.analysis.gis, program_.data_dir);
}

void GlView::resizeGL(int, int) {
  // Qt hands over the size in logical pixels; the framebuffer, the pointer
  // positions and the scissor rectangles count device pixels. The View
  // state keeps 16-bit sizes.
  const double ratio = devicePixelRatioF();
  const auto device_size = [ratio](int logical) {
    return static_cast<int16_t>(
        std::clamp(static_cast<int>(std::lround(logical * ratio)), 0, 32767));
  };
  resize_view(program_.view, device_size(width()), device_size(height()));
  forget_frame(program_.scene.frame);
}

void GlView::paintGL() {
  if (defaultFramebufferObject() != frame_target_) {
    frame_target_ = defaultFramebufferObject();
    forget_frame(program_.scene.frame);
  }
  redraw_view(program_.scene, program_.view);
}

}  // namespace valdrin

namespace valdrin {

namespace {

// Client pixels as the view's framebuffer counts them, in 16 bits.
int16_t device(double logical, double ratio) {
  return static_cast<int16_t>(std::clamp(static_cast<int>(logical * ratio), -32768, 32767));
}

unsigned mouse_flags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  unsigned flags = 0;
  if (buttons & Qt::LeftButton) flags |= kLeftButton;
  if (buttons & Qt::RightButton) flags |= kRightButton;
  if (modifiers & Qt::ShiftModifier) flags |= kShiftKey;
  if (modifiers & Qt::ControlModifier) flags |= kControlKey;
  return flags;
}

}  // namespace

void GlView::show_readout() {
  if (QApplication::mouseButtons() != Qt::NoButton) return;
  const double ratio = devicePixelRatioF();
  const std::string text =
      hover_text(program_, device(hover_at_.x(), ratio), device(hover_at_.y(), ratio));
  if (text.empty()) return;  // beside the grid
  QToolTip::showText(mapToGlobal(hover_at_.toPoint()), QString::fromStdString(text), this);
}

void GlView::leaveEvent(QEvent* event) {
  hover_.stop();
  QOpenGLWidget::leaveEvent(event);
}

void GlView::mousePressEvent(QMouseEvent* event) {
  hover_.stop();
  QToolTip::hideText();
  const double ratio = devicePixelRatioF();
  const int16_t x = device(event->position().x(), ratio), y = device(event->position().y(), ratio);
  const unsigned flags = mouse_flags(event->buttons(), event->modifiers());
  if (event->button() == Qt::LeftButton) on_left_down(program_, hooks_, flags, x, y);
  if (event->button() == Qt::RightButton) on_right_down(program_, hooks_, flags, x, y);
}

void GlView::mouseReleaseEvent(QMouseEvent* event) {
  const double ratio = devicePixelRatioF();
  const int16_t x = device(event->position().x(), ratio), y = device(event->position().y(), ratio);
  if (event->button() == Qt::LeftButton) on_left_up(program_, hooks_, x, y);
  if (event->button() == Qt::RightButton) on_right_up(program_, hooks_, x, y);
}

void GlView::mouseMoveEvent(QMouseEvent* event) {
  // Every move starts the rest over; a shown read-out goes, since the cell
  // under the pointer may have changed.
  QToolTip::hideText();
  if (event->buttons() == Qt::NoButton) {
    hover_at_ = event->position();
    hover_.start();
  } else
    hover_.stop();
  const double ratio = devicePixelRatioF();
  on_mouse_move(program_, hooks_, mouse_flags(event->buttons(), event->modifiers()),
                device(event->position().x(), ratio), device(event->position().y(), ratio));
}

void GlView::keyReleaseEvent(QKeyEvent* event) { on_key_up(program_, hooks_, event->key()); }

}  // namespace valdrin
