// The View state (look-at point, distance, heading, tilt, viewport size)
// and the one camera built from it: the model-view and projection
// transforms as plain matrices. The GL code loads them, the frustum test
// and the partial redraw project through them, and picking inverts them; no
// GL context is needed here.
#pragma once

#include <cstdint>

namespace valdrin {

// The program holds one ViewState.
struct ViewState {
  float look_at[3] = {42.0f, 33.0f, 0.0f};
  float default_look_at[3] = {42.0f, 33.0f, 0.0f};  // never changed
  float distance = 100.0f;
  float heading = 0.0f;  // degrees about the vertical axis, -180..180
  float tilt = 0.0f;     // degrees about the screen's horizontal axis, -90..90
  int16_t viewport_width = 0;
  int16_t viewport_height = 0;
  // The aspect ratio of the last viewport with a height: a minimised window
  // (height 0) keeps the projection it had.
  float last_aspect = 4.0f / 3.0f;
  // How many events one band of a column stands for: columns stand
  // count / events_per_band bands tall.
  float events_per_band = 1.0f;
};

// The frustum: half-height 1 at the near plane, half-width the aspect.
constexpr double kNearPlane = 4.0;
constexpr double kFarPlane = 256000.0;
// One band stands this tall in grid units: a column of four is as tall as
// its cell is wide.
constexpr double kEventHeight = 0.25;

// The camera's matrices, column-major. The two that the frame loads are
// built in float with the arithmetic of the fixed-function pipeline's own
// glFrustum, glTranslatef, glRotatef and glScalef, in the order a frame
// would call them, so that loading them gives the very transform (and so
// the very pixels) those calls give. The frustum test, the partial redraw
// and picking work in double from the same two.
struct Camera {
  // Grid units (x the column, y the row, z the count) to eye coordinates:
  // back by the distance, tilted, turned by the heading, centred on the
  // look-at point, counts scaled by kEventHeight / events_per_band.
  float model_view[16];
  // The frustum of the aspect ratio of the last viewport with a height.
  float projection[16];
  // projection * model_view: grid units to clip coordinates.
  double clip[16];
  // Eye coordinates back to grid units: the inverse of model_view.
  double eye_to_grid[16];
};

Camera make_camera(const ViewState& view);

// Stores the viewport size and, for a viewport with a height, its aspect
// ratio, from which make_camera builds the projection.
void resize_camera(ViewState& view, int16_t width, int16_t height);

// "Default Location": the look-at point goes back to its default; distance,
// heading and tilt stay.
void default_location(ViewState& view);

// m times the point (x, y, z, w): the four coordinates of the result.
void transform_point(const double m[16], double x, double y, double z, double w, double out[4]);

}  // namespace valdrin
