// The script-level face of rendering: the one graphics context that holds the drawing state
// between calls (colour, alpha, blend, scissor, the 2D matrix and its stack, the font), and
// the nx_graphics_* functions that forward state and drawing to the graphics device.
#pragma once

#include "framework/image.h"
#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"

class gxtkGraphics;
class gxtkSurface;

// ---------------------------------------------------------------------------------------------
// Types

class c_GraphicsContext : public Object {
 public:
  static constexpr int MatrixStackFloats = 192;

  c_Image* m_defaultFont = nullptr;
  c_Image* m_font = nullptr;
  int m_firstChar = 0;
  // Next free float index of m_matrixStack, a multiple of 6. Pushes past the stack's 32
  // entries are counted here without being stored, so their pops stay paired.
  int m_matrixSp = 0;
  // A point (x, y) maps to (x*ix + y*jx + tx, x*iy + y*jy + ty).
  float m_ix = 1.0f;
  float m_iy = 0.0f;
  float m_jx = 0.0f;
  float m_jy = 1.0f;
  float m_tx = 0.0f;
  float m_ty = 0.0f;
  int m_tformed = 0;
  // 1 while the device has not been given the current matrix.
  int m_matDirty = 0;
  float m_color_r = 0.0f;
  float m_color_g = 0.0f;
  float m_color_b = 0.0f;
  float m_alpha = 0.0f;
  int m_blend = 0;
  float m_scissor_x = 0.0f;
  float m_scissor_y = 0.0f;
  float m_scissor_width = 0.0f;
  float m_scissor_height = 0.0f;
  Array<float> m_matrixStack;

  c_GraphicsContext();
  c_GraphicsContext* m_new();

  // Hands the device the current matrix if it has not seen it yet; every drawing call
  // comes through here first.
  int p_Validate();

  void mark() override;
};

// ---------------------------------------------------------------------------------------------
// Globals

// The graphics device, registered once by nx_graphics_SetGraphicsDevice.
extern gxtkGraphics* nx_graphics_device;
// The same device while a frame is being rendered, null otherwise: state and drawing calls
// are valid only between nx_graphics_BeginRender and nx_graphics_EndRender.
extern gxtkGraphics* nx_graphics_renderDevice;
extern c_GraphicsContext* nx_graphics_context;

// ---------------------------------------------------------------------------------------------
// Functions

// Start values of this module's globals (a new context, no devices, default image flags 0)
// and the collector root that keeps them alive. Called from nxInit; safe to call again.
void nx_graphics_Init();

int nx_graphics_SetGraphicsDevice(gxtkGraphics* device);

int nx_graphics_BeginRender();
int nx_graphics_EndRender();
int nx_graphics_DeviceWidth();
int nx_graphics_DeviceHeight();

int nx_graphics_Cls(float r, float g, float b);
int nx_graphics_SetColor(float r, float g, float b);
int nx_graphics_SetAlpha(float alpha);
int nx_graphics_SetBlend(int blend);
int nx_graphics_SetScissor(float x, float y, float width, float height);
// A pitch of 0 means `width`.
int nx_graphics_ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset = 0,
                           int pitch = 0);

int nx_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
int nx_graphics_SetMatrix2(Array<float> matrix);
// Multiplies the current matrix by the given one, which thus applies to coordinates first.
int nx_graphics_Transform(float ix, float iy, float jx, float jy, float tx, float ty);
int nx_graphics_Transform2(Array<float> matrix);
int nx_graphics_Translate(float x, float y);
int nx_graphics_Scale(float x, float y);
// Degrees; a positive angle turns drawings counter-clockwise on screen (y points down).
int nx_graphics_Rotate(float angle);
int nx_graphics_PushMatrix();
int nx_graphics_PopMatrix();

int nx_graphics_DrawRect(float x, float y, float width, float height);
int nx_graphics_DrawLine(float x1, float y1, float x2, float y2);
// Centre and radii.
int nx_graphics_DrawEllipse(float x, float y, float xRadius, float yRadius);
// A null image or a frame index outside the image draws nothing.
int nx_graphics_DrawImage(c_Image* image, float x, float y, int frame = 0);
// Rotation (degrees) and scale happen about the image's handle, which lands on (x, y).
int nx_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX,
                           float scaleY, int frame = 0);

// A strip of side-by-side frames; null when the file cannot be loaded or frameCount < 1.
c_Image* nx_graphics_LoadImage(String path, int frameCount = 1,
                               int flags = c_Image::m_DefaultFlags);
// Frames of the given size read row by row from an atlas; null when the file cannot be loaded.
c_Image* nx_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount,
                                int flags = c_Image::m_DefaultFlags);
// Null selects the default font "tovu_font.png" (loaded on first need) with first char 32.
int nx_graphics_SetFont(c_Image* font, int firstChar = 32);
