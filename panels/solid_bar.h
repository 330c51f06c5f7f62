// The Timeline Panel's bar: a QProgressBar that paints its own chunk. A
// desktop style draws a bar's chunk as a gradient or a texture of the
// highlight; this one is a sunken frame and a solid chunk in exactly the
// palette's Highlight colour, the colour the timeline gives it. It shows no
// text and stays a QProgressBar, so code and screen readers see the usual
// range and value.
#pragma once

#include <QProgressBar>

namespace valdrin {

class SolidBar : public QProgressBar {
 public:
  explicit SolidBar(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace valdrin
