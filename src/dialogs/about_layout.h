#pragma once

#include <QString>

namespace dialogs {

// The product's web page, the same address the start page links to.
inline constexpr char kProductWebPage[] = "http://www.hushleafbrowser.example/";

// Where a box goes to sit centred on the screen, in twips.
struct TwipsPoint {
  long long left = 0;
  long long top = 0;
  bool operator==(const TwipsPoint&) const = default;
};

// Rounds to the nearest whole number, halves to the even neighbour.
long long roundHalfEven(double value);

// left = round(screen width - box width) \ 2, top likewise, both quotients truncated
// toward zero. Sizes are outer sizes in twips.
TwipsPoint centredPosition(double screenWidth, double screenHeight, double boxWidth,
                           double boxHeight);

// "Version " + major + "." + minor, plain decimal numbers, no revision.
QString versionText(int major, int minor);

}  // namespace dialogs
