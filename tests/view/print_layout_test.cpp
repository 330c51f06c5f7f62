// Where the captured view lands on a printed page, against worked examples,
// and the texture size it is drawn from against what the resampler makes.
#include "view/print_layout.h"

#include <gtest/gtest.h>

#include <tuple>

#include "view/image.h"

namespace valdrin {
namespace {

TEST(PrintLayout, ScaleRectangleOffsetAndTexture) {
  struct Case {
    int32_t capture_w, capture_h, page_w, page_h;
    float scale, width, height, offset_x, offset_y;
    int32_t texture_w, texture_h;
  };
  const Case cases[] = {
      // Width decides: the picture spans the page across, centred upright.
      {800, 600, 4800, 6600, 6.0f, 4800, 3600, 0, 1500, 1024, 1024},
      {1000, 500, 5000, 5000, 5.0f, 5000, 2500, 0, 1250, 1024, 512},
      // Height decides: centred across.
      {600, 800, 4800, 4800, 6.0f, 3600, 4800, 600, 0, 1024, 1024},
      // Textures of captures far above and just at the smallest size.
      {1500, 900, 3000, 3000, 2.0f, 3000, 1800, 0, 600, 1024, 1024},
      {2, 2, 10, 6, 3.0f, 6, 6, 2, 0, 2, 2},
      {640, 480, 640, 480, 1.0f, 640, 480, 0, 0, 1024, 512},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.capture_w << "x" << c.capture_h << " on " << c.page_w);
    PrintLayout layout;
    ASSERT_EQ(layout_print(c.page_w, c.page_h, c.capture_w, c.capture_h, layout), 1);
    // The values are exact in binary, so plain equality holds.
    EXPECT_EQ(
        std::tuple(layout.scale, layout.width, layout.height, layout.offset_x, layout.offset_y,
                   layout.texture_width, layout.texture_height),
        std::tuple(c.scale, c.width, c.height, c.offset_x, c.offset_y, c.texture_w, c.texture_h));
    // The page is drawn from the resampler's output: both must agree.
    Image capture, texture;
    alloc_image(c.capture_w, c.capture_h, 3, capture);
    resample_image(capture, texture);
    EXPECT_EQ(std::tuple(texture.width, texture.height), std::tuple(c.texture_w, c.texture_h));
    free_image(texture);
    free_image(capture);
  }
  // What can't be resampled, or has no page, is refused and left alone.
  const int32_t refused[][4] = {{1, 600, 4800, 6600}, {800, 1, 4800, 6600}, {0, 0, 4800, 6600},
                                {800, 600, 0, 6600},  {800, 600, 4800, -1}, {800, 600, 4800, 0}};
  for (const auto& [capture_w, capture_h, page_w, page_h] : refused) {
    PrintLayout layout;
    layout.scale = 42.0f;
    EXPECT_EQ(layout_print(page_w, page_h, capture_w, capture_h, layout), 0) << capture_w;
    EXPECT_EQ(layout.scale, 42.0f);
  }
}

}  // namespace
}  // namespace valdrin
