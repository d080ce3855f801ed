// The real entries of the OpenGL table.

#include "devices/gl_seam.h"

// <GLFW/glfw3.h> for the current context's window; GLFW_INCLUDE_NONE because gl.h is already in.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

// ---------------------------------------------------------------------------------------------
// Globals

gxtkGLSeam nx_glseam_table = nx_glseam_Real();

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

void nx_glseam_GetFramebufferSize(int* width, int* height) {
  *width = 0;
  *height = 0;
  GLFWwindow* window = glfwGetCurrentContext();
  if (window != nullptr) glfwGetFramebufferSize(window, width, height);
}

void nx_glseam_SwapBuffers() {
  GLFWwindow* window = glfwGetCurrentContext();
  if (window != nullptr) glfwSwapBuffers(window);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

gxtkGLSeam nx_glseam_Real() {
  gxtkGLSeam table;
  table.Viewport = glViewport;
  table.MatrixMode = glMatrixMode;
  table.LoadIdentity = glLoadIdentity;
  table.Ortho = glOrtho;
  table.EnableClientState = glEnableClientState;
  table.VertexPointer = glVertexPointer;
  table.TexCoordPointer = glTexCoordPointer;
  table.ColorPointer = glColorPointer;
  table.Enable = glEnable;
  table.Disable = glDisable;
  table.BlendFunc = glBlendFunc;
  table.Scissor = glScissor;
  table.ClearColor = glClearColor;
  table.Clear = glClear;
  table.DrawArrays = glDrawArrays;
  table.DrawElements = glDrawElements;
  table.ReadPixels = glReadPixels;
  table.GenTextures = glGenTextures;
  table.DeleteTextures = glDeleteTextures;
  table.BindTexture = glBindTexture;
  table.TexParameteri = glTexParameteri;
  table.TexImage2D = glTexImage2D;
  table.TexSubImage2D = glTexSubImage2D;
  table.PixelStorei = glPixelStorei;
  table.GetError = glGetError;
  table.GetFramebufferSize = nx_glseam_GetFramebufferSize;
  table.SwapBuffers = nx_glseam_SwapBuffers;
  return table;
}
