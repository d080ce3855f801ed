// The one table through which the graphics device and its surfaces reach OpenGL and the
// window: tests swap in their own entries to count batches or to fake a driver's refusals.
#pragma once

// <GL/gl.h> for the GL types and enums of the table's signatures.
#include <GL/gl.h>

// ---------------------------------------------------------------------------------------------
// Types

struct gxtkGLSeam {
  void (*Viewport)(GLint x, GLint y, GLsizei width, GLsizei height);
  void (*MatrixMode)(GLenum mode);
  void (*LoadIdentity)();
  void (*Ortho)(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                GLdouble zFar);
  void (*EnableClientState)(GLenum array);
  void (*VertexPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
  void (*TexCoordPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
  void (*ColorPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
  void (*Enable)(GLenum capability);
  void (*Disable)(GLenum capability);
  void (*BlendFunc)(GLenum source, GLenum destination);
  void (*Scissor)(GLint x, GLint y, GLsizei width, GLsizei height);
  void (*ClearColor)(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
  void (*Clear)(GLbitfield mask);
  void (*DrawArrays)(GLenum mode, GLint first, GLsizei count);
  void (*DrawElements)(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices);
  void (*ReadPixels)(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                     GLvoid* pixels);
  void (*GenTextures)(GLsizei count, GLuint* textures);
  void (*DeleteTextures)(GLsizei count, const GLuint* textures);
  void (*BindTexture)(GLenum target, GLuint texture);
  void (*TexParameteri)(GLenum target, GLenum name, GLint value);
  void (*TexImage2D)(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                     GLsizei height, GLint border, GLenum format, GLenum type,
                     const GLvoid* pixels);
  void (*TexSubImage2D)(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const GLvoid* pixels);
  void (*PixelStorei)(GLenum name, GLint value);
  GLenum (*GetError)();
  // Size in pixels of the framebuffer of the window whose context is current (more than the
  // window's size in screen units on a scaled display); 0 x 0 when there is none.
  void (*GetFramebufferSize)(int* width, int* height);
  // Shows the frame of the window whose context is current.
  void (*SwapBuffers)();
};

// ---------------------------------------------------------------------------------------------
// Globals

// The table in force. It starts as the real one; a test copies it, changes entries and puts
// the copy back when done.
extern gxtkGLSeam nx_glseam_table;

// ---------------------------------------------------------------------------------------------
// Functions

// The table that calls the real OpenGL and GLFW.
gxtkGLSeam nx_glseam_Real();
