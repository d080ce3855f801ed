// gxtkGraphics: the device every pixel goes through on its way to OpenGL 1.x. It batches
// primitives in a fixed vertex buffer, applies the 2D matrix on the CPU and owns blending,
// scissoring, clearing and pixel read-back.
#pragma once

#include <cstdint>

#include "devices/surface.h"
#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"

// ---------------------------------------------------------------------------------------------
// Types

// One vertex as OpenGL reads it from the interleaved array (stride 20). `color` holds the
// bytes red, green, blue, alpha in memory order.
struct gxtkVertex {
  float x;
  float y;
  float u;
  float v;
  uint32_t color;
};
static_assert(sizeof(gxtkVertex) == 20, "OpenGL is told the vertex stride is 20 bytes");

class gxtkGraphics : public Object {
 public:
  static constexpr int MaxVertices = 1024;
  static constexpr int MaxQuads = MaxVertices / 4;

  // The framebuffer's size in pixels, read at creation and at every BeginRender: the game
  // lays out and picks its image resolution by it.
  int width = 0;
  int height = 0;
  // Premultiplied vertex colour: alpha << 24 | blue << 16 | green << 8 | red.
  uint32_t color = 0;
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float alpha = 0.0f;
  float ix = 0.0f;
  float iy = 0.0f;
  float jx = 0.0f;
  float jy = 0.0f;
  float tx = 0.0f;
  float ty = 0.0f;
  bool tformed = false;
  gxtkVertex vertices[MaxVertices];
  uint16_t quadIndices[MaxQuads * 6];
  int primType = 0;
  int primCount = 0;
  gxtkSurface* primSurf = nullptr;

  gxtkGraphics();

  void mark() override;

  virtual int Width();
  virtual int Height();
  virtual int BeginRender();
  virtual void EndRender();
  virtual void DiscardGraphics();
  virtual gxtkSurface* LoadSurface(String path);
  virtual gxtkSurface* LoadSurface__UNSAFE__(gxtkSurface* surface, String path);
  virtual gxtkSurface* CreateSurface(int width, int height);
  virtual int Cls(float r, float g, float b);
  virtual int SetAlpha(float alpha);
  virtual int SetColor(float r, float g, float b);
  virtual int SetBlend(int blend);
  virtual int SetScissor(int x, int y, int width, int height);
  virtual int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
  virtual int DrawPoint(float x, float y);
  virtual int DrawRect(float x, float y, float w, float h);
  virtual int DrawLine(float x1, float y1, float x2, float y2);
  virtual int DrawOval(float x, float y, float w, float h);
  virtual int DrawPoly(Array<float> verts);
  virtual int DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy);
  virtual int DrawSurface(gxtkSurface* surface, float x, float y);
  virtual int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                           int srch);
  virtual int ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset,
                         int pitch);
  virtual int WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int width,
                           int height, int offset, int pitch);

  // Room for `count` (at most MaxVertices) vertices of primitives of `type` vertices each,
  // drawn with `surface` (null for none); the pending batch is drawn first when it cannot take
  // them.
  gxtkVertex* Begin(int type, int count, gxtkSurface* surface);
  // Draws the pending batch.
  void Flush();

 private:
  // The blend and scissor state in force in OpenGL, so that setting it again is no batch
  // break. BeginRender resets OpenGL's state and with it these.
  int blendInForce = -1;
  bool scissorKnown = false;
  bool scissorOn = false;
  int scissorX = 0;
  int scissorY = 0;
  int scissorWidth = 0;
  int scissorHeight = 0;

  void UpdateColor();
  // Stores (x, y) through the current matrix.
  void Place(gxtkVertex* vertex, float x, float y);
};
