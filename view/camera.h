// The View state (look-at point, distance, heading, tilt, viewport size) and
// the projection a resize sets, as plain values the GL code applies and the
// tests check.
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
};

struct Frustum {
  double left, right, bottom, top, near_plane, far_plane;
};

// Stores the viewport size and returns the frustum for it: half-height 1 at
// the near plane 4, far plane 256000, half-width the aspect ratio.
Frustum resize_frustum(ViewState& view, int16_t width, int16_t height);

// "Default Location": the look-at point goes back to its default; distance,
// heading and tilt stay.
void default_location(ViewState& view);

}  // namespace valdrin
