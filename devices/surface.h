// gxtkSurface: one texture together with its own premultiplied copy of the pixels, from which
// the texture is made again, lazily, for every new OpenGL context.
#pragma once

#include "runtime/object.h"

// ---------------------------------------------------------------------------------------------
// Types

class gxtkSurface : public Object {
 public:
  // Pixels, rows top to bottom, `depth` bytes a pixel, colour premultiplied; malloc'ed, owned.
  unsigned char* data = nullptr;
  int width = 0;
  int height = 0;
  int depth = 0;
  unsigned int format = 0;
  // glfwGraphicsSeq when the texture was made; -1 for none.
  int seq = -1;
  unsigned int texture = 0;
  float uScale = 0.0f;
  float vScale = 0.0f;

  gxtkSurface() = default;
  ~gxtkSurface() override;

  // Frees the texture (when it belongs to the current context) and the pixel copy.
  virtual int Discard();
  virtual int Width();
  virtual int Height();
  virtual int Loaded();

  // Takes ownership of a malloc'ed pixel buffer and premultiplies it by its alpha.
  void SetData(unsigned char* data, int width, int height, int depth);
  // Replaces a rectangle of an RGBA surface from ARGB values, row i of the source starting at
  // src[i * pitch]; the part of the rectangle outside the surface is dropped. `src` must hold
  // every value the kept part reads.
  void SetSubData(int x, int y, int width, int height, const unsigned int* src, int pitch);
  // Binds the texture, making it first when it is missing or belongs to an older context.
  void Bind();
  bool OnUnsafeLoadComplete();
};
