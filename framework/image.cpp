// Images and frames: cutting a surface into frames, padding, handles and grabbing.

#include "framework/image.h"

// <cstdint> for the 64-bit cursor of the grab walk, which must not overflow on any sizes.
#include <cstdint>

#include "devices/surface.h"
#include "runtime/errors.h"

// ---------------------------------------------------------------------------------------------
// Globals

int c_Image::m_DefaultFlags = 0;

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

[[noreturn]] void nx_image_FrameOutsideSurface() {
  nxError(String(u"Image frame outside surface"));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

c_Frame* c_Frame::m_new(int x, int y) {
  m_x = x;
  m_y = y;
  return this;
}

c_Image* c_Image::m_new() {
  return this;
}

c_Image* c_Image::p_Init(gxtkSurface* surface, int frameCount, int flags) {
  if (surface == nullptr || frameCount < 1) return nullptr;
  gc_assign(m_surface, surface);
  m_width = surface->Width() / frameCount;
  m_height = surface->Height();
  gc_assign(m_frames, Array<c_Frame*>(frameCount));
  for (int i = 0; i < frameCount; ++i) {
    gc_assign(m_frames[i], gc_new<c_Frame>()->m_new(i * m_width, 0));
  }
  p_ApplyFlags(flags);
  return this;
}

c_Image* c_Image::p_Grab(int x, int y, int width, int height, int frames, int flags,
                         c_Image* source) {
  gc_assign(m_source, source);
  gc_assign(m_surface, source->m_surface);
  m_width = width;
  m_height = height;
  gc_assign(m_frames, Array<c_Frame*>(frames));

  int originX = 0;
  int originY = 0;
  if (source->m_frames.Length() > 0) {
    originX = source->m_frames[0]->m_x;
    originY = source->m_frames[0]->m_y;
  }
  // A frame starting left of or above the source, or one of negative size, lies outside it
  // just as one running past its right or bottom edge does.
  if (x < 0 || y < 0 || width < 0 || height < 0) nx_image_FrameOutsideSurface();
  int64_t cursorX = x;
  int64_t cursorY = y;
  for (int i = 0; i < m_frames.Length(); ++i) {
    if (cursorX + width > source->m_width) {
      if (width > source->m_width) nx_image_FrameOutsideSurface();
      cursorX = 0;
      cursorY += height;
    }
    if (cursorY + height > source->m_height) nx_image_FrameOutsideSurface();
    // The cursor now lies inside the source's frame, so both places fit in an int.
    gc_assign(m_frames[i], gc_new<c_Frame>()->m_new(static_cast<int>(cursorX + originX),
                                                    static_cast<int>(cursorY + originY)));
    cursorX += width;
  }
  p_ApplyFlags(flags);
  return this;
}

c_Image* c_Image::p_GrabImage(int x, int y, int width, int height, int frames, int flags) {
  if (m_frames.Length() != 1) return nullptr;
  return gc_new<c_Image>()->m_new()->p_Grab(x, y, width, height, frames, flags, this);
}

void c_Image::p_ApplyFlags(int flags) {
  m_flags = flags;
  if ((m_flags & ImageFlagPadX) != 0) {
    for (int i = 0; i < m_frames.Length(); ++i) m_frames[i]->m_x += 1;
    m_width -= 2;
  }
  if ((m_flags & ImageFlagPadY) != 0) {
    for (int i = 0; i < m_frames.Length(); ++i) m_frames[i]->m_y += 1;
    m_height -= 2;
  }
  if ((m_flags & ImageFlagCentre) != 0) {
    m_handleX = 0.5f * static_cast<float>(m_width);
    m_handleY = 0.5f * static_cast<float>(m_height);
    m_flags &= ~ImageFlagCentre;
  }
  if (m_frames.Length() == 1 && m_frames[0]->m_x == 0 && m_frames[0]->m_y == 0 &&
      m_surface != nullptr && m_width == m_surface->Width() && m_height == m_surface->Height()) {
    m_flags |= ImageFlagWhole;
  }
}

int c_Image::p_SetHandle(float x, float y) {
  m_handleX = x;
  m_handleY = y;
  m_flags &= ~ImageFlagCentre;
  return 0;
}

void c_Image::mark() {
  gc_mark_q(m_surface);
  gc_mark_q(m_frames);
  gc_mark_q(m_source);
}
