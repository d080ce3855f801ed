// A stand-in OpenGL for the device tests and the game harness: what each test checks is
// recorded (each batch's primitive, vertex count and texture, each texture upload, blend and
// scissor changes), and the window has a set size and pixels.
#pragma once

#include <vector>

#include "devices/gl_seam.h"

// An entry of the OpenGL table that no test watches: it does nothing and returns zero.
struct Ignored {
  template <class R, class... A>
  using Entry = R (*)(A...);
  template <class R, class... A>
  operator Entry<R, A...>() const {
    return [](A...) { return R(); };
  }
};

struct RecordedDraw {
  GLenum mode;
  GLsizei count;
  bool indexed;
  GLuint texture;  // bound while GL_TEXTURE_2D was enabled; 0 for untextured
};

struct RecordedUpload {
  std::vector<int> area;             // x, y, width, height
  std::vector<unsigned char> bytes;  // the first pixel of an RGBA upload
};

struct GLRecorder {
  static inline GLRecorder* active = nullptr;
  int windowWidth = 640, windowHeight = 480;
  std::vector<RecordedDraw> draws;
  std::vector<RecordedUpload> uploads;
  std::vector<GLuint> deleted;
  std::vector<GLenum> blends;  // destination factor of each BlendFunc
  std::vector<std::vector<GLint>> scissors;
  int scissorDisables = 0, swaps = 0;
  GLuint nextTexture = 1, bound = 0;
  bool texturing = false;
  // The window ReadPixels reads from: value at (x, y) counted from the bottom-left.
  unsigned (*windowPixel)(int x, int y) = nullptr;
  gxtkGLSeam saved = nx_glseam_table;

  GLRecorder() {
    active = this;
    Ignored _;
    gxtkGLSeam& t = nx_glseam_table;
    // One filler per entry: an entry added to the table must be added here too, or it would be
    // left null and crash whichever test first reaches it.
    static_assert(sizeof(gxtkGLSeam) == 27 * sizeof(void*));
    t = {_, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _, _};
    t.Enable = [](GLenum what) { active->texturing |= what == GL_TEXTURE_2D; };
    t.Disable = [](GLenum what) {
      active->texturing &= what != GL_TEXTURE_2D;
      active->scissorDisables += what == GL_SCISSOR_TEST;
    };
    t.BlendFunc = [](GLenum, GLenum destination) { active->blends.push_back(destination); };
    t.Scissor = [](GLint x, GLint y, GLsizei w, GLsizei h) {
      active->scissors.push_back({x, y, w, h});
    };
    t.DrawArrays = [](GLenum mode, GLint, GLsizei count) { active->Draw(mode, count, false); };
    t.DrawElements = [](GLenum mode, GLsizei count, GLenum, const GLvoid*) {
      active->Draw(mode, count, true);
    };
    t.ReadPixels = [](GLint x, GLint y, GLsizei w, GLsizei h, GLenum, GLenum, GLvoid* out) {
      for (int row = 0; row < h; ++row) {
        for (int column = 0; column < w; ++column)
          static_cast<unsigned*>(out)[row * w + column] = active->windowPixel(x + column, y + row);
      }
    };
    t.GenTextures = [](GLsizei, GLuint* names) { *names = active->nextTexture++; };
    t.DeleteTextures = [](GLsizei, const GLuint* names) { active->deleted.push_back(*names); };
    t.BindTexture = [](GLenum, GLuint name) { active->bound = name; };
    t.TexSubImage2D = [](GLenum, GLint, GLint x, GLint y, GLsizei w, GLsizei h, GLenum format,
                         GLenum, const GLvoid* pixels) {
      const unsigned char* bytes = static_cast<const unsigned char*>(pixels);
      active->uploads.push_back({{x, y, w, h}, {bytes, bytes + (format == GL_RGBA ? 4 : 0)}});
    };
    t.GetFramebufferSize = [](int* w, int* h) {
      *w = active->windowWidth;
      *h = active->windowHeight;
    };
    t.SwapBuffers = [] { active->swaps++; };
  }
  ~GLRecorder() { nx_glseam_table = saved; }
  GLRecorder(const GLRecorder&) = delete;
  void Draw(GLenum mode, GLsizei count, bool indexed) {
    draws.push_back({mode, count, indexed, texturing ? bound : 0});
  }
};
