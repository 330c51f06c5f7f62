// Frame capture by pixel read-back.
#include "view/capture.h"

#include <GL/gl.h>

#include "view/headless.h"
#include "view/scene.h"

namespace valdrin {

int capture_view(Scene& scene, const ViewState& view, Image& capture) {
  if (view.viewport_width <= 0 || view.viewport_height <= 0) return 0;
  draw_frame(scene, view);
  // Every command issued so far lands in the buffer before it is read.
  glFinish();
  // read_frame reads with a pack alignment of 1: the record's rows have no
  // pad bytes, whatever the width.
  read_frame(view.viewport_width, view.viewport_height, capture);
  return 1;
}

}  // namespace valdrin
