// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CONTRAST_H
#define CONTRAST_H

#include <QColor>

// Legibility of text against what is behind it, by the relative luminance and contrast ratio
// of WCAG 2: 1 for equal colours up to 21 for black on white; normal text wants 4.5.
namespace Contrast {

constexpr double NormalText = 4.5;
// Icons and the edges of controls, which are read by their shape rather than letter by letter.
constexpr double Graphics = 3.0;

double luminance(const QColor &colour);
double ratio(const QColor &a, const QColor &b);
// Black or white, whichever stands out more on the background; always at least 4.5 : 1.
QColor textOn(const QColor &background);
// The colour itself when it reaches `least` on the background, else the same hue lightened or
// darkened just enough to: a user's dark blue stays blue on the dark pages.
QColor readableOn(const QColor &colour, const QColor &background, double least = NormalText);

} // namespace Contrast

#endif // CONTRAST_H
