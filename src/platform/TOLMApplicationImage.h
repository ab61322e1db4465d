#pragma once

#include <QIcon>
#include <QImage>

// The application image "VK", drawn from its SVG source at the size asked for.
class TOLMApplicationImage {
 public:
  static QImage image(int side = 128);
  static QIcon icon();
};
