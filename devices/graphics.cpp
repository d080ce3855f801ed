// The batching graphics device.

#include "devices/graphics.h"

// <cmath> for the oval's angles and radius lengths; <vector> for ReadPixels' one buffer.
#include <algorithm>
#include <cmath>
#include <vector>

#include "devices/gl_seam.h"
#include "host/glfw_game.h"
#include "runtime/numbers.h"

// The packed colour is stored as one 32-bit word that OpenGL reads as four bytes red, green,
// blue, alpha: that order only holds on a little-endian machine.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "vertex colours assume little-endian");

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// Not-a-number goes to `low`, like any value below the range.
float nx_graphics_Clamp(float value, float low, float high) {
  if (!(value >= low)) return low;
  if (value > high) return high;
  return value;
}

// |trunc(value)| for a segment count, kept where an int holds it (huge or undefined radii
// give the maximum count or none).
int nx_graphics_SegmentPart(float value) {
  return std::min(4096, nx_float_to_int_clamped(std::fabs(value)));
}

int64_t nx_graphics_ClampToInt(int64_t value) {
  return std::clamp<int64_t>(value, INT32_MIN, INT32_MAX);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

gxtkGraphics::gxtkGraphics() {
  nx_glseam_table.GetFramebufferSize(&width, &height);
  for (int quad = 0; quad < MaxQuads; ++quad) {
    uint16_t base = static_cast<uint16_t>(quad * 4);
    uint16_t* indices = &quadIndices[quad * 6];
    indices[0] = base;
    indices[1] = static_cast<uint16_t>(base + 1);
    indices[2] = static_cast<uint16_t>(base + 2);
    indices[3] = base;
    indices[4] = static_cast<uint16_t>(base + 2);
    indices[5] = static_cast<uint16_t>(base + 3);
  }
}

void gxtkGraphics::mark() {
  gc_mark_q(primSurf);
}

int gxtkGraphics::Width() {
  return width;
}

int gxtkGraphics::Height() {
  return height;
}

int gxtkGraphics::BeginRender() {
  gxtkGLSeam& gl = nx_glseam_table;
  gl.GetFramebufferSize(&width, &height);
  gl.Viewport(0, 0, width, height);
  gl.MatrixMode(GL_PROJECTION);
  gl.LoadIdentity();
  gl.Ortho(0, width, height, 0, -1, 1);
  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadIdentity();
  gl.EnableClientState(GL_VERTEX_ARRAY);
  gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
  gl.EnableClientState(GL_COLOR_ARRAY);
  gl.VertexPointer(2, GL_FLOAT, sizeof(gxtkVertex), &vertices[0].x);
  gl.TexCoordPointer(2, GL_FLOAT, sizeof(gxtkVertex), &vertices[0].u);
  gl.ColorPointer(4, GL_UNSIGNED_BYTE, sizeof(gxtkVertex), &vertices[0].color);
  gl.Enable(GL_BLEND);
  gl.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  gl.Disable(GL_TEXTURE_2D);
  blendInForce = 0;
  // The window may have changed size, and with it what a full-window scissor is.
  scissorKnown = false;
  primCount = 0;
  return 1;
}

void gxtkGraphics::EndRender() {
  if (primCount > 0) Flush();
  nx_glseam_table.SwapBuffers();
}

void gxtkGraphics::DiscardGraphics() {}

gxtkSurface* gxtkGraphics::LoadSurface(String path) {
  gxtkSurface* surface = LoadSurface__UNSAFE__(gc_new<gxtkSurface>(), path);
  if (surface != nullptr) surface->Bind();
  return surface;
}

gxtkSurface* gxtkGraphics::LoadSurface__UNSAFE__(gxtkSurface* surface, String path) {
  NxGlfwGame* game = NxGlfwGame::_glfwGame;
  if (surface == nullptr || game == nullptr) return nullptr;
  int imageWidth = 0;
  int imageHeight = 0;
  int imageDepth = 0;
  unsigned char* data = game->LoadImageData(path, &imageWidth, &imageHeight, &imageDepth);
  if (data == nullptr) return nullptr;
  surface->SetData(data, imageWidth, imageHeight, imageDepth);
  return surface;
}

gxtkSurface* gxtkGraphics::CreateSurface(int width, int height) {
  gxtkSurface* surface = gc_new<gxtkSurface>();
  surface->width = std::max(width, 0);
  surface->height = std::max(height, 0);
  surface->depth = 4;
  surface->format = GL_RGBA;
  surface->Bind();
  return surface;
}

int gxtkGraphics::Cls(float r, float g, float b) {
  primCount = 0;
  nx_glseam_table.ClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
  nx_glseam_table.Clear(GL_COLOR_BUFFER_BIT);
  return 0;
}

int gxtkGraphics::SetAlpha(float alpha) {
  this->alpha = alpha;
  UpdateColor();
  return 0;
}

int gxtkGraphics::SetColor(float r, float g, float b) {
  this->r = r;
  this->g = g;
  this->b = b;
  UpdateColor();
  return 0;
}

int gxtkGraphics::SetBlend(int blend) {
  int state = blend == 1 ? 1 : 0;
  if (state == blendInForce) return 0;
  Flush();
  if (state == 1) {
    nx_glseam_table.BlendFunc(GL_ONE, GL_ONE);
  } else {
    nx_glseam_table.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  }
  blendInForce = state;
  return 0;
}

int gxtkGraphics::SetScissor(int x, int y, int width, int height) {
  bool on = !(x == 0 && y == 0 && width == Width() && height == Height());
  // A negative size is an empty scissor, not an OpenGL error.
  int clippedWidth = std::max(width, 0);
  int clippedHeight = std::max(height, 0);
  int glY = static_cast<int>(
      nx_graphics_ClampToInt(static_cast<int64_t>(Height()) - y - static_cast<int64_t>(height)));
  if (scissorKnown && on == scissorOn &&
      (!on || (x == scissorX && glY == scissorY && clippedWidth == scissorWidth &&
               clippedHeight == scissorHeight))) {
    return 0;
  }
  Flush();
  if (on) {
    nx_glseam_table.Enable(GL_SCISSOR_TEST);
    nx_glseam_table.Scissor(x, glY, clippedWidth, clippedHeight);
  } else {
    nx_glseam_table.Disable(GL_SCISSOR_TEST);
  }
  scissorKnown = true;
  scissorOn = on;
  scissorX = x;
  scissorY = glY;
  scissorWidth = clippedWidth;
  scissorHeight = clippedHeight;
  return 0;
}

int gxtkGraphics::SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
  this->ix = ix;
  this->iy = iy;
  this->jx = jx;
  this->jy = jy;
  this->tx = tx;
  this->ty = ty;
  tformed = !(ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0);
  return 0;
}

int gxtkGraphics::DrawPoint(float x, float y) {
  gxtkVertex* vertex = Begin(1, 1, nullptr);
  Place(vertex, x, y);
  vertex->u = vertex->v = 0.0f;
  vertex->color = color;
  return 0;
}

int gxtkGraphics::DrawRect(float x, float y, float w, float h) {
  gxtkVertex* quad = Begin(4, 4, nullptr);
  Place(&quad[0], x, y);
  Place(&quad[1], x + w, y);
  Place(&quad[2], x + w, y + h);
  Place(&quad[3], x, y + h);
  for (int i = 0; i < 4; ++i) {
    quad[i].u = quad[i].v = 0.0f;
    quad[i].color = color;
  }
  return 0;
}

int gxtkGraphics::DrawLine(float x1, float y1, float x2, float y2) {
  gxtkVertex* line = Begin(2, 2, nullptr);
  Place(&line[0], x1, y1);
  Place(&line[1], x2, y2);
  for (int i = 0; i < 2; ++i) {
    line[i].u = line[i].v = 0.0f;
    line[i].color = color;
  }
  return 0;
}

int gxtkGraphics::DrawOval(float x, float y, float w, float h) {
  float rx = w / 2.0f;
  float ry = h / 2.0f;
  float cx = x + rx;
  float cy = y + ry;
  int segments;
  if (!tformed) {
    segments = nx_graphics_SegmentPart(rx) + nx_graphics_SegmentPart(ry);
  } else {
    float across = std::sqrt((rx * ix) * (rx * ix) + (rx * iy) * (rx * iy));
    float down = std::sqrt((ry * jx) * (ry * jx) + (ry * jy) * (ry * jy));
    segments = nx_graphics_SegmentPart(across + down);
  }
  if (segments < 12) {
    segments = 12;
  } else if (segments > MaxVertices) {
    segments = MaxVertices;
  } else {
    segments &= ~3;
  }
  gxtkVertex* fan = Begin(segments, segments, nullptr);
  for (int i = 0; i < segments; ++i) {
    float angle = 6.2831855f * static_cast<float>(i) / static_cast<float>(segments);
    Place(&fan[i], cx + std::cos(angle) * rx, cy - std::sin(angle) * ry);
    fan[i].u = fan[i].v = 0.0f;
    fan[i].color = color;
  }
  return 0;
}

int gxtkGraphics::DrawPoly(Array<float> verts) {
  int count = verts.Length() / 2;
  if (count < 1 || count > MaxVertices) return 0;
  const float* source = verts.Data();
  gxtkVertex* polygon = Begin(count, count, nullptr);
  for (int i = 0; i < count; ++i) {
    Place(&polygon[i], source[i * 2], source[i * 2 + 1]);
    polygon[i].u = polygon[i].v = 0.0f;
    polygon[i].color = color;
  }
  return 0;
}

int gxtkGraphics::DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy) {
  int count = verts.Length() / 4;
  if (surface == nullptr || count < 1 || count > MaxVertices) return 0;
  const float* source = verts.Data();
  float offsetU = static_cast<float>(srcx);
  float offsetV = static_cast<float>(srcy);
  gxtkVertex* polygon = Begin(count, count, surface);
  for (int i = 0; i < count; ++i) {
    const float* corner = &source[i * 4];
    Place(&polygon[i], corner[0], corner[1]);
    polygon[i].u = (corner[2] + offsetU) * surface->uScale;
    polygon[i].v = (corner[3] + offsetV) * surface->vScale;
    polygon[i].color = color;
  }
  return 0;
}

int gxtkGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
  if (surface == nullptr) return 0;
  float w = static_cast<float>(surface->Width());
  float h = static_cast<float>(surface->Height());
  float u1 = w * surface->uScale;
  float v1 = h * surface->vScale;
  gxtkVertex* quad = Begin(4, 4, surface);
  Place(&quad[0], x, y);
  Place(&quad[1], x + w, y);
  Place(&quad[2], x + w, y + h);
  Place(&quad[3], x, y + h);
  quad[0].u = 0.0f;
  quad[0].v = 0.0f;
  quad[1].u = u1;
  quad[1].v = 0.0f;
  quad[2].u = u1;
  quad[2].v = v1;
  quad[3].u = 0.0f;
  quad[3].v = v1;
  for (int i = 0; i < 4; ++i) quad[i].color = color;
  return 0;
}

int gxtkGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                               int srch) {
  if (surface == nullptr) return 0;
  float w = static_cast<float>(srcw);
  float h = static_cast<float>(srch);
  float u0 = static_cast<float>(srcx) * surface->uScale;
  float v0 = static_cast<float>(srcy) * surface->vScale;
  float u1 = (static_cast<float>(srcx) + w) * surface->uScale;
  float v1 = (static_cast<float>(srcy) + h) * surface->vScale;
  gxtkVertex* quad = Begin(4, 4, surface);
  Place(&quad[0], x, y);
  Place(&quad[1], x + w, y);
  Place(&quad[2], x + w, y + h);
  Place(&quad[3], x, y + h);
  quad[0].u = u0;
  quad[0].v = v0;
  quad[1].u = u1;
  quad[1].v = v0;
  quad[2].u = u1;
  quad[2].v = v1;
  quad[3].u = u0;
  quad[3].v = v1;
  for (int i = 0; i < 4; ++i) quad[i].color = color;
  return 0;
}

int gxtkGraphics::ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset,
                             int pitch) {
  Flush();
  // Only the part of the rectangle inside the window is read, and only the values that land
  // inside the array are stored; the rest of the array is left as it was.
  int64_t left = std::max<int64_t>(x, 0);
  int64_t top = std::max<int64_t>(y, 0);
  int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + width, this->width);
  int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + height, this->height);
  if (right <= left || bottom <= top) return 0;
  int readWidth = static_cast<int>(right - left);
  int readHeight = static_cast<int>(bottom - top);
  std::vector<uint32_t> buffer(static_cast<size_t>(readWidth) * static_cast<size_t>(readHeight));
  nx_glseam_table.ReadPixels(static_cast<int>(left), static_cast<int>(this->height - bottom),
                             readWidth, readHeight, GL_BGRA, GL_UNSIGNED_BYTE, buffer.data());
  int64_t length = pixels.Length();
  int* target = pixels.Data();
  for (int row = 0; row < readHeight; ++row) {
    // OpenGL's rows run bottom-up: buffer row 0 is the window row just above `bottom`.
    int64_t windowY = bottom - 1 - row;
    int64_t start = static_cast<int64_t>(offset) + (windowY - y) * pitch + (left - x);
    int64_t first = std::max<int64_t>(0, -start);
    int64_t last = std::min<int64_t>(readWidth, length - start);
    const uint32_t* source = &buffer[static_cast<size_t>(row) * readWidth];
    for (int64_t column = first; column < last; ++column) {
      target[start + column] = static_cast<int>(source[column]);
    }
  }
  return 0;
}

int gxtkGraphics::WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int width,
                               int height, int offset, int pitch) {
  Flush();
  if (surface == nullptr) return 0;
  int64_t left = std::max<int64_t>(x, 0);
  int64_t top = std::max<int64_t>(y, 0);
  int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + width, surface->width);
  int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + height, surface->height);
  if (right <= left || bottom <= top) return 0;
  int64_t rowWidth = right - left;
  int64_t rows = bottom - top;
  int64_t base = static_cast<int64_t>(offset) + (top - y) * pitch + (left - x);
  int64_t length = pixels.Length();
  // A row is taken only when all of it lies in the array. The start of row i moves linearly
  // with i, so the rows that qualify are one unbroken run.
  int64_t firstRow = -1;
  int64_t endRow = -1;
  for (int64_t row = 0; row < rows; ++row) {
    int64_t start = base + row * pitch;
    bool inside = start >= 0 && start + rowWidth <= length;
    if (inside && firstRow < 0) firstRow = row;
    if (inside) endRow = row + 1;
  }
  if (firstRow < 0) return 0;
  const unsigned int* source =
      reinterpret_cast<const unsigned int*>(pixels.Data()) + (base + firstRow * pitch);
  surface->SetSubData(static_cast<int>(left), static_cast<int>(top + firstRow),
                      static_cast<int>(rowWidth), static_cast<int>(endRow - firstRow), source,
                      pitch);
  return 0;
}

gxtkVertex* gxtkGraphics::Begin(int type, int count, gxtkSurface* surface) {
  if (type == primType && surface == primSurf && primCount + count <= MaxVertices) {
    gxtkVertex* room = &vertices[primCount];
    primCount += count;
    return room;
  }
  if (primCount > 0) Flush();
  primType = type;
  gc_assign(primSurf, surface);
  primCount = count;
  return vertices;
}

void gxtkGraphics::Flush() {
  if (primCount == 0) return;
  gxtkGLSeam& gl = nx_glseam_table;
  if (primSurf != nullptr) {
    gl.Enable(GL_TEXTURE_2D);
    primSurf->Bind();
  }
  switch (primType) {
    case 1:
      gl.DrawArrays(GL_POINTS, 0, primCount);
      break;
    case 2:
      gl.DrawArrays(GL_LINES, 0, primCount);
      break;
    case 3:
      gl.DrawArrays(GL_TRIANGLES, 0, primCount);
      break;
    case 4:
      gl.DrawElements(GL_TRIANGLES, primCount / 4 * 6, GL_UNSIGNED_SHORT, quadIndices);
      break;
    default:
      for (int first = 0; first < primCount; first += primType) {
        gl.DrawArrays(GL_TRIANGLE_FAN, first, primType);
      }
      break;
  }
  if (primSurf != nullptr) gl.Disable(GL_TEXTURE_2D);
  primCount = 0;
}

void gxtkGraphics::UpdateColor() {
  // Callers may send values outside the ranges (an alpha of -1 happens); a byte that wrapped
  // would turn a faint colour into a bright one.
  float clampedAlpha = nx_graphics_Clamp(alpha, 0.0f, 1.0f);
  uint32_t red = static_cast<uint32_t>(nx_graphics_Clamp(r, 0.0f, 255.0f) * clampedAlpha);
  uint32_t green = static_cast<uint32_t>(nx_graphics_Clamp(g, 0.0f, 255.0f) * clampedAlpha);
  uint32_t blue = static_cast<uint32_t>(nx_graphics_Clamp(b, 0.0f, 255.0f) * clampedAlpha);
  uint32_t alphaByte = static_cast<uint32_t>(255.0f * clampedAlpha);
  color = alphaByte << 24 | blue << 16 | green << 8 | red;
}

void gxtkGraphics::Place(gxtkVertex* vertex, float x, float y) {
  if (tformed) {
    vertex->x = x * ix + y * jx + tx;
    vertex->y = x * iy + y * jy + ty;
  } else {
    vertex->x = x;
    vertex->y = y;
  }
}
