// The solid bar's painting.
#include "panels/solid_bar.h"

#include <qdrawutil.h>

#include <QPainter>
#include <cstdint>

namespace valdrin {

namespace {

constexpr int kFrameWidth = 1;

// Pixels of a `room`-pixel chunk area that `value` fills, in proportion
// within [minimum, maximum]: none below the minimum or for an empty range,
// all of it from the maximum on.
int filled_pixels(int room, int minimum, int maximum, int value) {
  if (room <= 0 || maximum <= minimum || value <= minimum) return 0;
  if (value >= maximum) return room;
  // 64 bits: the span of an int range times a width overflows an int.
  const int64_t done = static_cast<int64_t>(value) - minimum;
  const int64_t span = static_cast<int64_t>(maximum) - minimum;
  return static_cast<int>((done * room + span / 2) / span);
}

}  // namespace

SolidBar::SolidBar(QWidget* parent) : QProgressBar(parent) { setTextVisible(false); }

void SolidBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colours = palette();
  qDrawShadePanel(&painter, rect(), colours, true, kFrameWidth, &colours.brush(QPalette::Base));
  const QRect inside = rect().adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
  const int fill = filled_pixels(inside.width(), minimum(), maximum(), value());
  if (fill == 0) return;
  QRect chunk = inside;
  chunk.setWidth(fill);
  if (invertedAppearance()) chunk.moveRight(inside.right());
  painter.fillRect(chunk, colours.color(QPalette::Highlight));
}

}  // namespace valdrin
