#include "gcode/toolpath/contour.h"

#include <algorithm>
#include <cmath>

namespace quorrel {

double Contour::Distance(double x, double y) const {
  // The distance to a rectangle shrunk by the corner radius, less that radius.
  const double qx = std::fabs(x - centerX) - (halfWidth - cornerRadius);
  const double qy = std::fabs(y - centerY) - (halfHeight - cornerRadius);
  return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
         cornerRadius;
}

Contour Contour::Inset(double inset) const {
  return {centerX, centerY, halfWidth - inset, halfHeight - inset,
          std::max(0.0, cornerRadius - inset)};
}

bool CutterCrossesContour(const Contour& contour, const std::vector<ToolMove>& cuts,
                          double toolRadius, bool outside) {
  constexpr int kSamples = 16;
  for (const ToolMove& move : cuts) {
    for (int i = 0; i <= kSamples; ++i) {
      const Point point = PointAlong(move, static_cast<double>(i) / kSamples);
      const double distance = contour.Distance(point.x, point.y);
      if (outside ? distance - toolRadius < -kWrittenRounding
                  : distance + toolRadius > kWrittenRounding) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace quorrel
