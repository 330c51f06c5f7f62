// The looks of the colourings.
#include "view/column_style.h"

namespace valdrin {

namespace {

ColumnLook grey_look(float top, const float (&sides)[4]) {
  ColumnLook look{{top, top, top}, {}};
  for (int f = 0; f < 4; ++f)
    for (float& channel : look.sides[f]) channel = sides[f];
  return look;
}

}  // namespace

ColumnLook column_look(uint32_t /*count*/, bool selected, uint8_t colouring) {
  switch (colouring) {
    case kColourByEvents:
    default: return grey_look(selected ? kSelectedGrey : 1.0f, kSideGreys);
  }
}

}  // namespace valdrin
