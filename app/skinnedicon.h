// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SKINNEDICON_H
#define SKINNEDICON_H

#include <QColor>
#include <QIcon>
#include <QPixmap>

// Icons drawn in the skin's colours rather than their own: the pictures are white shapes, which
// vanish on a light skin. An icon made here takes the shape of its picture and paints it in
// the skin's text colour, made readable on the skin's panel, each time it is drawn, so a
// change of skin recolours every such icon at once.
namespace SkinnedIcon {

QIcon icon(const QString &picture);
QPixmap pixmap(const QString &picture);
// The colour icons are drawn in under the skin in force.
QColor colour();

} // namespace SkinnedIcon

#endif // SKINNEDICON_H
