// The pixel glyphs shared by the game's font sheet, the runtime's default font strip and
// the few pictures that carry small lettering.
#pragma once

#include <string>

#include "tools/raster.h"

// ---------------------------------------------------------------------------------------------
// Types

// Every glyph shares one left edge and is as wide as the game's kerning expects (5 columns,
// 7 for m and w, 6 for M and W, 4 for s j k r t n z, 2 or 3 for f i l), so that centres
// spaced by advance + kerning leave an even two-column gap between neighbours.
struct PixelGlyph {
  int width = 0;
  const char* const* rows = nullptr;  // kGlyphRows strings of '#' and '.', `width` long
};

// ---------------------------------------------------------------------------------------------
// Globals

// Rows 0 to 6 hold capitals and ascenders, rows 7 and 8 the descenders.
constexpr int kGlyphRows = 9;
// The game font's cells are 16 design pixels square; glyphs start at this column and their
// capitals at this row, so a standard glyph sits in the middle of its cell.
constexpr int kFontCellSize = 16;
constexpr int kFontGlyphLeft = 6;
constexpr int kFontGlyphTop = 4;
// The default font strip: glyph frames of this size plus one pad column each side.
constexpr int kDefaultFontWidth = 7;
constexpr int kDefaultFontHeight = 12;
constexpr int kDefaultFontFrames = 96;

// ---------------------------------------------------------------------------------------------
// Public functions

// The glyph of a printable ASCII code (33 to 126); an empty glyph (width 0) otherwise.
PixelGlyph FindPixelGlyph(int code);

// Cell `cell` of the game font (character 32 + cell), drawn at design pixel scale.
void DrawFontCell(Canvas& canvas, int cell);
// Frame `frame` of the default font (character 32 + frame), including its pad columns.
void DrawDefaultFontFrame(Canvas& canvas, int frame);
// Lettering in pictures: the text's top-left at (x, y), each glyph pixel `size` design
// pixels; PixelTextWidth is the width it takes.
void DrawPixelText(Canvas& canvas, int x, int y, const std::string& text, int size, Color color);
int PixelTextWidth(const std::string& text, int size);
