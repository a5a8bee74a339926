#pragma once
// The system font as the report sets it: one definition for drawing and
// measuring, so that a measured width is the width that lands on the page.

#include <QFont>
#include <QFontMetricsF>
#include <string_view>

namespace kelmora::platform {

// The system font at a size in points, with outline metrics (no hinting), as
// they are on a page of 72 units to the inch.
QFont systemFontOfSize(double fontSize);

// Its metrics in points.
QFontMetricsF systemFontMetrics(double fontSize);

// Width and descent of text set on one line in that font, in points.
double systemFontTextWidth(std::string_view text, double fontSize);
double systemFontDescent(double fontSize);

}  // namespace kelmora::platform
