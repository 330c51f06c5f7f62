// View state changes that need no GL context.
#include "view/camera.h"

namespace valdrin {

Frustum resize_frustum(ViewState& view, int16_t width, int16_t height) {
  view.viewport_width = width;
  view.viewport_height = height;
  if (height > 0) view.last_aspect = static_cast<float>(width) / static_cast<float>(height);
  const double a = view.last_aspect;
  return Frustum{-a, a, -1.0, 1.0, 4.0, 256000.0};
}

void default_location(ViewState& view) {
  for (int i = 0; i < 3; ++i) view.look_at[i] = view.default_look_at[i];
}

}  // namespace valdrin
