// Images: a texture surface cut into equally sized frames, with a handle (the drawing origin)
// and flags, either as a strip of side-by-side frames or grabbed row by row from an atlas.
#pragma once

#include "runtime/array.h"
#include "runtime/object.h"

class gxtkSurface;

// ---------------------------------------------------------------------------------------------
// Types

// The handle goes to the centre of the frame; the bit itself is not kept in m_flags.
constexpr int ImageFlagCentre = 1;
// Every frame has a one-pixel border left and right that is not drawn.
constexpr int ImageFlagPadX = 2;
// Every frame has a one-pixel border above and below that is not drawn.
constexpr int ImageFlagPadY = 4;
// Set by the image itself when its one frame is the whole surface, so drawing can use the
// simpler whole-surface call; callers never pass it.
constexpr int ImageFlagWhole = 0x10000;

// The top-left corner of one frame in the surface, in pixels.
class c_Frame : public Object {
 public:
  int m_x = 0;
  int m_y = 0;

  c_Frame* m_new(int x, int y);
};

class c_Image : public Object {
 public:
  gxtkSurface* m_surface = nullptr;
  // Size of one frame after any padding is taken off.
  int m_width = 0;
  int m_height = 0;
  Array<c_Frame*> m_frames;
  int m_flags = 0;
  float m_handleX = 0.0f;
  float m_handleY = 0.0f;
  // For an image grabbed from another, that image: it keeps the shared surface's owner alive.
  c_Image* m_source = nullptr;

  // The flags nx_graphics_LoadImage and LoadImage2 use when the caller gives none.
  static int m_DefaultFlags;

  c_Image* m_new();

  // A strip of `frameCount` frames side by side across the whole surface. Null when
  // frameCount is below 1 (there is no frame width to divide into).
  c_Image* p_Init(gxtkSurface* surface, int frameCount, int flags);
  // Frames of width x height read row by row from `source`, starting at (x, y) and wrapping
  // to x = 0 of the next row. A frame outside the source is the runtime error
  // "Image frame outside surface".
  c_Image* p_Grab(int x, int y, int width, int height, int frames, int flags, c_Image* source);
  // A new image sharing this one's surface; null unless this image has exactly one frame.
  c_Image* p_GrabImage(int x, int y, int width, int height, int frames, int flags);
  void p_ApplyFlags(int flags);
  int p_SetHandle(float x, float y);

  void mark() override;
};
