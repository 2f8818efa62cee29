// SPDX-License-Identifier: GPL-3.0-or-later
#include "titleglyphs.h"

namespace TitleGlyphs {

QChar GlyphMain(0xF072);
QChar GlyphMenu(0xF0D7);
QChar GlyphMin(0xF068);
QChar GlyphMaximise(0xF2D0);
QChar GlyphRestore(0xF2D2);
QChar GlyphClose(0xF00D);

int GlyphSize = 9;

} // namespace TitleGlyphs
