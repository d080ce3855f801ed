// The artwork of every game image, one frame at a time in design pixels (the canvas turns
// them into file pixels for each resolution).
#pragma once

#include "tools/raster.h"

// ---------------------------------------------------------------------------------------------
// Types

using FrameArtist = void (*)(Canvas& canvas, int frame);

// ---------------------------------------------------------------------------------------------
// Globals

// Outlines: a deep violet reads as black but less harsh.
inline const Color kInk = Rgb(20, 16, 36);

// ---------------------------------------------------------------------------------------------
// Public functions

// Small sprites (art_sprites.cpp).
void DrawItemFrame(Canvas& canvas, int frame);    // "gfx", 16 x 16
void DrawSparkFrame(Canvas& canvas, int frame);   // "parts", 8 x 8
void DrawIconFrame(Canvas& canvas, int frame);    // "common/icons", 32 x 32
void DrawDpadFrame(Canvas& canvas, int frame);    // "common/dpad", 32 x 32
void DrawButtonFrame(Canvas& canvas, int frame);  // "common/Buttons", 64 x 64

// Pictures (art_pictures.cpp).
void DrawMenuFrame(Canvas& canvas, int frame);      // "menu", 256 x 256
void DrawLogoFrame(Canvas& canvas, int frame);      // "logo", 256 x 128
void DrawStudioFrame(Canvas& canvas, int frame);    // "common/KOBULogo", 256 x 256
void DrawTestCardFrame(Canvas& canvas, int frame);  // "common/Testcard_Circle", 256 x 256
void DrawBadgeFrame(Canvas& canvas, int frame);     // "BadgesA", 64 x 64
