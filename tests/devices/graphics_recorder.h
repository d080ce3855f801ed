// A stand-in OpenGL for the device tests: every entry of the table records what it was asked,
// so a test can see each batch's primitive, vertex count and texture, and each texture upload.
// It can also refuse texture sizes that are not powers of two, like old drivers did.
#pragma once

#include <cstring>
#include <vector>

#include "devices/gl_seam.h"

struct RecordedDraw {
  GLenum mode;
  GLint first;
  GLsizei count;
  bool indexed;
  GLuint texture;  // bound while GL_TEXTURE_2D was enabled; 0 for untextured
};

struct RecordedUpload {
  GLuint texture;
  GLint x, y;
  GLsizei width, height;
  std::vector<unsigned char> bytes;  // the first pixel of the upload
};

struct GLRecorder {
  int windowWidth = 640;
  int windowHeight = 480;
  bool refuseNonPowerOfTwo = false;
  std::vector<RecordedDraw> draws;
  std::vector<RecordedUpload> uploads;
  std::vector<GLuint> deleted;
  std::vector<GLenum> blends;  // destination factor of each BlendFunc
  std::vector<std::vector<GLint>> scissors;
  int scissorDisables = 0;
  int clears = 0;
  int swaps = 0;
  GLuint nextTexture = 1;
  GLuint bound = 0;
  bool texturing = false;
  GLsizei allocatedWidth = 0, allocatedHeight = 0;
  GLenum pendingError = GL_NO_ERROR;
  // The window ReadPixels reads from: value at (x, y) counted from the bottom-left.
  unsigned (*windowPixel)(int x, int y) = nullptr;

  static GLRecorder*& Active() {
    static GLRecorder* active = nullptr;
    return active;
  }

  GLRecorder() : saved(nx_glseam_table) {
    Active() = this;
    gxtkGLSeam& t = nx_glseam_table;
    t.Viewport = [](GLint, GLint, GLsizei, GLsizei) {};
    t.MatrixMode = [](GLenum) {};
    t.LoadIdentity = [] {};
    t.Ortho = [](GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {};
    t.EnableClientState = [](GLenum) {};
    t.VertexPointer = [](GLint, GLenum, GLsizei, const GLvoid*) {};
    t.TexCoordPointer = [](GLint, GLenum, GLsizei, const GLvoid*) {};
    t.ColorPointer = [](GLint, GLenum, GLsizei, const GLvoid*) {};
    t.Enable = [](GLenum what) {
      if (what == GL_TEXTURE_2D) Active()->texturing = true;
    };
    t.Disable = [](GLenum what) {
      if (what == GL_TEXTURE_2D) Active()->texturing = false;
      if (what == GL_SCISSOR_TEST) Active()->scissorDisables++;
    };
    t.BlendFunc = [](GLenum, GLenum destination) { Active()->blends.push_back(destination); };
    t.Scissor = [](GLint x, GLint y, GLsizei w, GLsizei h) {
      Active()->scissors.push_back({x, y, w, h});
    };
    t.ClearColor = [](GLclampf, GLclampf, GLclampf, GLclampf) {};
    t.Clear = [](GLbitfield) { Active()->clears++; };
    t.DrawArrays = [](GLenum mode, GLint first, GLsizei count) {
      GLRecorder* r = Active();
      r->draws.push_back({mode, first, count, false, r->texturing ? r->bound : 0});
    };
    t.DrawElements = [](GLenum mode, GLsizei count, GLenum, const GLvoid*) {
      GLRecorder* r = Active();
      r->draws.push_back({mode, 0, count, true, r->texturing ? r->bound : 0});
    };
    t.ReadPixels = [](GLint x, GLint y, GLsizei w, GLsizei h, GLenum, GLenum, GLvoid* out) {
      unsigned* values = static_cast<unsigned*>(out);
      for (int row = 0; row < h; ++row) {
        for (int column = 0; column < w; ++column) {
          values[row * w + column] = Active()->windowPixel(x + column, y + row);
        }
      }
    };
    t.GenTextures = [](GLsizei, GLuint* names) { *names = Active()->nextTexture++; };
    t.DeleteTextures = [](GLsizei, const GLuint* names) { Active()->deleted.push_back(*names); };
    t.BindTexture = [](GLenum, GLuint name) { Active()->bound = name; };
    t.TexParameteri = [](GLenum, GLenum, GLint) {};
    t.TexImage2D = [](GLenum, GLint, GLint, GLsizei w, GLsizei h, GLint, GLenum, GLenum,
                      const GLvoid*) {
      GLRecorder* r = Active();
      auto power = [](GLsizei n) { return n > 0 && (n & (n - 1)) == 0; };
      if (r->refuseNonPowerOfTwo && !(power(w) && power(h))) {
        r->pendingError = GL_INVALID_VALUE;
        return;
      }
      r->allocatedWidth = w;
      r->allocatedHeight = h;
    };
    t.TexSubImage2D = [](GLenum, GLint, GLint x, GLint y, GLsizei w, GLsizei h, GLenum format,
                         GLenum, const GLvoid* pixels) {
      GLRecorder* r = Active();
      int size = format == GL_RGBA              ? 4
                 : format == GL_RGB             ? 3
                 : format == GL_LUMINANCE_ALPHA ? 2
                                                : 1;
      const unsigned char* bytes = static_cast<const unsigned char*>(pixels);
      r->uploads.push_back({r->bound, x, y, w, h, std::vector<unsigned char>(bytes, bytes + size)});
    };
    t.PixelStorei = [](GLenum, GLint) {};
    t.GetError = [] {
      GLenum error = Active()->pendingError;
      Active()->pendingError = GL_NO_ERROR;
      return error;
    };
    t.GetFramebufferSize = [](int* w, int* h) {
      *w = Active()->windowWidth;
      *h = Active()->windowHeight;
    };
    t.SwapBuffers = [] { Active()->swaps++; };
  }
  ~GLRecorder() {
    nx_glseam_table = saved;
    Active() = nullptr;
  }
  GLRecorder(const GLRecorder&) = delete;
  GLRecorder& operator=(const GLRecorder&) = delete;

 private:
  gxtkGLSeam saved;
};
