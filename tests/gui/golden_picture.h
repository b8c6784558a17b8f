#pragma once
// Pictures compared with a golden copy in tests/data, with a tolerance for the small differences
// of antialiasing and fonts. VELMORA_UPDATE_GOLDEN=1 writes the golden copies anew and skips the
// comparison (look at them).

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cstdlib>

namespace velmora::testing {

// Pixels that differ clearly (by more than 64 in a channel), as a share of the picture; 1 when the
// sizes differ.
inline double PictureDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 1;
  int differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y);
      const QColor q = b.pixelColor(x, y);
      if (std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()), std::abs(p.blue() - q.blue())}) >
          64) {
        ++differing;
      }
    }
  }
  return static_cast<double>(differing) / (a.width() * a.height());
}

// The drawing against the golden file (a path under tests/data).
inline void ExpectLikeGolden(const QImage& drawing, const QString& golden, double tolerance) {
  const QImage drawn = drawing.convertToFormat(QImage::Format_RGB32);
  // A fresh copy compared with itself would prove nothing.
  if (qEnvironmentVariableIsSet("VELMORA_UPDATE_GOLDEN")) {
    ASSERT_TRUE(drawn.save(golden)) << golden.toStdString();
    GTEST_SKIP() << "the golden picture was written, not compared: look at " << golden.toStdString();
  }
  const QImage expected = QImage(golden).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(expected.isNull()) << "no golden picture " << golden.toStdString()
                                  << "; run with VELMORA_UPDATE_GOLDEN=1 and look at it";
  EXPECT_LT(PictureDifference(drawn, expected), tolerance) << "compare " << golden.toStdString() << " with the drawing";
}

}  // namespace velmora::testing
