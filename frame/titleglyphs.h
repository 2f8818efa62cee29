// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TITLEGLYPHS_H
#define TITLEGLYPHS_H

#include <QChar>

// Font Awesome glyphs of the drawn title bars. They are writable and shared by
// every frame and message box: a glyph changed through one window's setIcon is
// what later windows show.
namespace TitleGlyphs {

extern QChar GlyphMain;
extern QChar GlyphMenu;
extern QChar GlyphMin;
extern QChar GlyphMaximise;
extern QChar GlyphRestore;
extern QChar GlyphClose;

// Point size of the title-bar button glyphs; the title icon is drawn two points larger.
extern int GlyphSize;

} // namespace TitleGlyphs

#endif // TITLEGLYPHS_H
