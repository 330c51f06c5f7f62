// The capture that both the snapshot and the printout start from: one frame
// of the view drawn into the framebuffer that is bound, read straight back
// into an Image record of the viewport's size. Reading the framebuffer just
// drawn takes the view alone, whatever covers its window.
#pragma once

#include "view/camera.h"
#include "view/image.h"
#include "view/scene.h"

namespace valdrin {

// Draws a frame with the camera of `view` and reads its colour buffer into
// `capture`: viewport width x height, 3 channels, row 0 the bottom row,
// rows exactly width x 3 bytes. A context must be current with a
// framebuffer of at least the viewport's size bound.
// Return 1 with a newly allocated capture the caller releases; 0 when the
// viewport has no area (a minimised window), and then nothing is allocated.
int capture_view(Scene& scene, const ViewState& view, Image& capture);

}  // namespace valdrin
