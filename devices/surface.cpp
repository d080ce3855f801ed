// Surfaces: premultiplied pixel copies and their lazily made textures.

#include "devices/surface.h"

// <cstdlib> for the pixel copies, which stb_image hands over as malloc'ed blocks.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "devices/gl_seam.h"
#include "host/glfw_game.h"

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// The smallest power of two >= size (1 below 2), kept within what GLsizei holds.
int nx_surface_PowerOfTwo(int size) {
  int power = 1;
  while (power < size && power < (1 << 30)) power <<= 1;
  return power;
}

// Frees the texture when it belongs to the current context (an older context took its
// textures with it) and the pixel copy.
void nx_surface_Release(gxtkSurface* surface) {
  if (surface->seq == glfwGraphicsSeq) {
    nx_glseam_table.DeleteTextures(1, &surface->texture);
    surface->texture = 0;
    surface->seq = -1;
  }
  std::free(surface->data);
  surface->data = nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

gxtkSurface::~gxtkSurface() {
  nx_surface_Release(this);
}

int gxtkSurface::Discard() {
  nx_surface_Release(this);
  return 0;
}

int gxtkSurface::Width() {
  return width;
}

int gxtkSurface::Height() {
  return height;
}

int gxtkSurface::Loaded() {
  return 1;
}

void gxtkSurface::SetData(unsigned char* data, int width, int height, int depth) {
  // A surface loaded again must neither leak its old copy nor keep showing the old texture.
  if (this->data != data) std::free(this->data);
  if (seq == glfwGraphicsSeq) {
    nx_glseam_table.DeleteTextures(1, &texture);
    texture = 0;
    seq = -1;
  }
  this->data = data;
  this->width = width;
  this->height = height;
  this->depth = depth;
  switch (depth) {
    case 1:
      format = GL_LUMINANCE;
      break;
    case 2:
      format = GL_LUMINANCE_ALPHA;
      break;
    case 3:
      format = GL_RGB;
      break;
    case 4:
      format = GL_RGBA;
      break;
    default:
      break;
  }
  if (data == nullptr) return;
  size_t pixels =
      static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0));
  gc_note_external_bytes(static_cast<int64_t>(pixels * static_cast<size_t>(std::max(depth, 0))));
  if (depth == 2) {
    for (size_t i = 0; i < pixels; ++i) {
      unsigned char* pixel = &data[i * 2];
      pixel[0] = static_cast<unsigned char>(pixel[0] * pixel[1] / 255);
    }
  } else if (depth == 4) {
    for (size_t i = 0; i < pixels; ++i) {
      unsigned char* pixel = &data[i * 4];
      unsigned int pixelAlpha = pixel[3];
      pixel[0] = static_cast<unsigned char>(pixel[0] * pixelAlpha / 255);
      pixel[1] = static_cast<unsigned char>(pixel[1] * pixelAlpha / 255);
      pixel[2] = static_cast<unsigned char>(pixel[2] * pixelAlpha / 255);
    }
  }
}

void gxtkSurface::SetSubData(int x, int y, int width, int height, const unsigned int* src,
                             int pitch) {
  if (format != GL_RGBA || src == nullptr) return;
  int64_t left = std::max<int64_t>(x, 0);
  int64_t top = std::max<int64_t>(y, 0);
  int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + width, this->width);
  int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + height, this->height);
  if (right <= left || bottom <= top) return;
  if (data == nullptr) {
    size_t bytes = static_cast<size_t>(this->width) * static_cast<size_t>(this->height) * 4;
    data = static_cast<unsigned char*>(std::calloc(bytes, 1));
    if (data == nullptr) return;
    gc_note_external_bytes(static_cast<int64_t>(bytes));
  }
  // Where the clipped rectangle's first value sits in the source.
  int64_t base = (top - y) * pitch + (left - x);
  int64_t rowWidth = right - left;
  int64_t rows = bottom - top;
  for (int64_t i = 0; i < rows; ++i) {
    const unsigned int* sourceRow = src + (base + i * pitch);
    unsigned char* target = &data[static_cast<size_t>(((top + i) * this->width + left) * 4)];
    for (int64_t j = 0; j < rowWidth; ++j) {
      unsigned int value = sourceRow[j];
      unsigned int valueAlpha = value >> 24;
      target[j * 4 + 0] = static_cast<unsigned char>(((value >> 16) & 255) * valueAlpha / 255);
      target[j * 4 + 1] = static_cast<unsigned char>(((value >> 8) & 255) * valueAlpha / 255);
      target[j * 4 + 2] = static_cast<unsigned char>((value & 255) * valueAlpha / 255);
      target[j * 4 + 3] = static_cast<unsigned char>(valueAlpha);
    }
  }
  if (seq != glfwGraphicsSeq) return;
  gxtkGLSeam& gl = nx_glseam_table;
  gl.BindTexture(GL_TEXTURE_2D, texture);
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (left == 0 && rowWidth == this->width) {
    gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, static_cast<GLint>(top), this->width,
                     static_cast<GLsizei>(rows), format, GL_UNSIGNED_BYTE,
                     &data[static_cast<size_t>(top * this->width * 4)]);
    return;
  }
  for (int64_t i = 0; i < rows; ++i) {
    gl.TexSubImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(left), static_cast<GLint>(top + i),
                     static_cast<GLsizei>(rowWidth), 1, format, GL_UNSIGNED_BYTE,
                     &data[static_cast<size_t>(((top + i) * this->width + left) * 4)]);
  }
}

void gxtkSurface::Bind() {
  if (glfwGraphicsSeq == 0) return;
  gxtkGLSeam& gl = nx_glseam_table;
  if (seq == glfwGraphicsSeq) {
    gl.BindTexture(GL_TEXTURE_2D, texture);
    return;
  }
  seq = glfwGraphicsSeq;
  gl.GenTextures(1, &texture);
  gl.BindTexture(GL_TEXTURE_2D, texture);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  // An error left over from an earlier call would pass for a refused size.
  for (int stale = 0; stale < 16 && gl.GetError() != GL_NO_ERROR; ++stale) {
  }
  GLint internalFormat = static_cast<GLint>(format);
  int textureWidth = width;
  int textureHeight = height;
  gl.TexImage2D(GL_TEXTURE_2D, 0, internalFormat, textureWidth, textureHeight, 0, format,
                GL_UNSIGNED_BYTE, nullptr);
  if (gl.GetError() != GL_NO_ERROR) {
    textureWidth = nx_surface_PowerOfTwo(width);
    textureHeight = nx_surface_PowerOfTwo(height);
    gl.TexImage2D(GL_TEXTURE_2D, 0, internalFormat, textureWidth, textureHeight, 0, format,
                  GL_UNSIGNED_BYTE, nullptr);
  }
  uScale = textureWidth > 0 ? 1.0f / static_cast<float>(textureWidth) : 0.0f;
  vScale = textureHeight > 0 ? 1.0f / static_cast<float>(textureHeight) : 0.0f;
  if (data != nullptr) {
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, data);
  }
}

bool gxtkSurface::OnUnsafeLoadComplete() {
  Bind();
  return true;
}
