// The faces the twip fonts (makeTwipFont) draw with, at any size, from one
// font engine per face.  Qt makes a new engine for every size of a QFont
// and asks fontconfig how to render each one: a font match that costs more
// than laying out a page of text, paid for every size a sheet uses.  A raw
// font cloned from the face's engine at one fixed size gives the same
// glyphs, advances and line metrics as each size's own engine, without it.
//
// A raw font belongs to the thread that made it and must not outlive it
// (its face goes with the thread's font data): keep one only for work that
// ends on that thread, and keep what it measured instead.
#pragma once

#include <QFont>
#include <QRawFont>

namespace quillet::surface {

// The primary face of `font` (a makeTwipFont font, sized in points, for a
// device of `deviceDpi` logical dots per inch) at the pixel size of the
// engine Qt would make for it; invalid when Qt gives no raw font for it.
QRawFont twipFace(const QFont& font, double deviceDpi);

} // namespace quillet::surface
