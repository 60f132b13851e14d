#include "dialogs/about_layout.h"

#include <cmath>

namespace dialogs {

long long roundHalfEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  auto whole = static_cast<long long>(floor);
  if (fraction > 0.5 || (fraction == 0.5 && whole % 2 != 0)) {
    ++whole;
  }
  return whole;
}

TwipsPoint centredPosition(double screenWidth, double screenHeight, double boxWidth,
                           double boxHeight) {
  const long long dy = roundHalfEven(screenHeight - boxHeight);
  const long long dx = roundHalfEven(screenWidth - boxWidth);
  // C++ integer division truncates toward zero, as the rule asks.
  return TwipsPoint{dx / 2, dy / 2};
}

QString versionText(int major, int minor) {
  return QStringLiteral("Version %1.%2").arg(major).arg(minor);
}

}  // namespace dialogs
