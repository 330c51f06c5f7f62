// Where the captured view lands on a printed page, checked against worked
// examples, and the texture size it is drawn from against what the
// resampler actually makes.
#include "view/print_layout.h"

#include <gtest/gtest.h>

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
    SCOPED_TRACE(testing::Message()
                 << c.capture_w << "x" << c.capture_h << " on " << c.page_w << "x" << c.page_h);
    PrintLayout layout;
    ASSERT_EQ(layout_print(c.page_w, c.page_h, c.capture_w, c.capture_h, layout), 1);
    EXPECT_FLOAT_EQ(layout.scale, c.scale);
    EXPECT_FLOAT_EQ(layout.width, c.width);
    EXPECT_FLOAT_EQ(layout.height, c.height);
    EXPECT_FLOAT_EQ(layout.offset_x, c.offset_x);
    EXPECT_FLOAT_EQ(layout.offset_y, c.offset_y);
    EXPECT_EQ(layout.texture_width, c.texture_w);
    EXPECT_EQ(layout.texture_height, c.texture_h);
    // The page is drawn from the resampler's output: both must agree.
    Image capture, texture;
    alloc_image(c.capture_w, c.capture_h, 3, capture);
    resample_image(capture, texture);
    EXPECT_EQ(texture.width, layout.texture_width);
    EXPECT_EQ(texture.height, layout.texture_height);
    free_image(texture);
    free_image(capture);
  }
}

TEST(PrintLayout, RefusesWhatCannotBeResampledOrHasNoPage) {
  struct Case {
    int32_t capture_w, capture_h, page_w, page_h;
  };
  for (const Case c : {Case{1, 600, 4800, 6600}, Case{800, 1, 4800, 6600}, Case{0, 0, 4800, 6600},
                       Case{800, 600, 0, 6600}, Case{800, 600, 4800, -1}}) {
    PrintLayout layout;
    layout.scale = 42.0f;
    EXPECT_EQ(layout_print(c.page_w, c.page_h, c.capture_w, c.capture_h, layout), 0);
    EXPECT_EQ(layout.scale, 42.0f);  // left alone
  }
}

}  // namespace
}  // namespace valdrin
