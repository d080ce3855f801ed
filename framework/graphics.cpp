// The graphics context and the nx_graphics_* functions: drawing state, the lazily sent
// matrix and its stack, frame brackets, image loading and fonts.

#include "framework/graphics.h"

// <cmath> for the rotation's sine and cosine.
#include <cmath>

#include "devices/graphics.h"
#include "host/game.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Globals

gxtkGraphics* nx_graphics_device = nullptr;
gxtkGraphics* nx_graphics_renderDevice = nullptr;
c_GraphicsContext* nx_graphics_context = nullptr;

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

void nx_graphics_MarkRoots() {
  gc_mark_q(nx_graphics_device);
  gc_mark_q(nx_graphics_renderDevice);
  gc_mark_q(nx_graphics_context);
}

void nx_graphics_MatrixChanged(c_GraphicsContext* context) {
  context->m_tformed = (context->m_ix != 1.0f || context->m_iy != 0.0f || context->m_jx != 0.0f ||
                        context->m_jy != 1.0f || context->m_tx != 0.0f || context->m_ty != 0.0f)
                           ? 1
                           : 0;
  context->m_matDirty = 1;
}

// The frame `frame` of `image`, or null when there is nothing to draw.
c_Frame* nx_graphics_DrawableFrame(c_Image* image, int frame) {
  if (image == nullptr || image->m_surface == nullptr) return nullptr;
  if (frame < 0 || frame >= image->m_frames.Length()) return nullptr;
  return image->m_frames[frame];
}

// The device call of both image draws once the matrix is in place; (left, top) is where
// the frame's corner goes.
void nx_graphics_DrawFrame(c_Image* image, c_Frame* frame, float left, float top) {
  if ((image->m_flags & ImageFlagWhole) != 0) {
    nx_graphics_renderDevice->DrawSurface(image->m_surface, left, top);
  } else {
    nx_graphics_renderDevice->DrawSurface2(image->m_surface, left, top, frame->m_x, frame->m_y,
                                           image->m_width, image->m_height);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

c_GraphicsContext::c_GraphicsContext() : m_matrixStack(MatrixStackFloats) {}

c_GraphicsContext* c_GraphicsContext::m_new() {
  return this;
}

int c_GraphicsContext::p_Validate() {
  if (m_matDirty != 0 && nx_graphics_renderDevice != nullptr) {
    nx_graphics_renderDevice->SetMatrix(m_ix, m_iy, m_jx, m_jy, m_tx, m_ty);
    m_matDirty = 0;
  }
  return 0;
}

void c_GraphicsContext::mark() {
  gc_mark_q(m_defaultFont);
  gc_mark_q(m_font);
  gc_mark_q(m_matrixStack);
}

void nx_graphics_Init() {
  gc_add_root_marker(nx_graphics_MarkRoots);
  gc_assign(nx_graphics_device, nullptr);
  gc_assign(nx_graphics_context, gc_new<c_GraphicsContext>()->m_new());
  c_Image::m_DefaultFlags = 0;
  gc_assign(nx_graphics_renderDevice, nullptr);
}

int nx_graphics_SetGraphicsDevice(gxtkGraphics* device) {
  gc_assign(nx_graphics_device, device);
  return 0;
}

int nx_graphics_BeginRender() {
  gc_assign(nx_graphics_renderDevice, nx_graphics_device);
  c_GraphicsContext* context = nx_graphics_context;
  context->m_matrixSp = 0;
  nx_graphics_SetMatrix(1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
  nx_graphics_SetColor(255.0f, 255.0f, 255.0f);
  nx_graphics_SetAlpha(1.0f);
  nx_graphics_SetBlend(0);
  nx_graphics_SetScissor(0.0f, 0.0f, static_cast<float>(nx_graphics_DeviceWidth()),
                         static_cast<float>(nx_graphics_DeviceHeight()));
  return 0;
}

int nx_graphics_EndRender() {
  gc_assign(nx_graphics_renderDevice, nullptr);
  return 0;
}

int nx_graphics_DeviceWidth() {
  return nx_graphics_device != nullptr ? nx_graphics_device->Width() : 0;
}

int nx_graphics_DeviceHeight() {
  return nx_graphics_device != nullptr ? nx_graphics_device->Height() : 0;
}

// Outside a frame there is no device to forward to: the state is still kept, but nothing is
// sent or drawn, rather than calling through a null device.

int nx_graphics_Cls(float r, float g, float b) {
  if (nx_graphics_renderDevice != nullptr) nx_graphics_renderDevice->Cls(r, g, b);
  return 0;
}

int nx_graphics_SetColor(float r, float g, float b) {
  c_GraphicsContext* context = nx_graphics_context;
  context->m_color_r = r;
  context->m_color_g = g;
  context->m_color_b = b;
  if (nx_graphics_renderDevice != nullptr) nx_graphics_renderDevice->SetColor(r, g, b);
  return 0;
}

int nx_graphics_SetAlpha(float alpha) {
  nx_graphics_context->m_alpha = alpha;
  if (nx_graphics_renderDevice != nullptr) nx_graphics_renderDevice->SetAlpha(alpha);
  return 0;
}

int nx_graphics_SetBlend(int blend) {
  nx_graphics_context->m_blend = blend;
  if (nx_graphics_renderDevice != nullptr) nx_graphics_renderDevice->SetBlend(blend);
  return 0;
}

int nx_graphics_SetScissor(float x, float y, float width, float height) {
  c_GraphicsContext* context = nx_graphics_context;
  context->m_scissor_x = x;
  context->m_scissor_y = y;
  context->m_scissor_width = width;
  context->m_scissor_height = height;
  if (nx_graphics_renderDevice != nullptr) {
    nx_graphics_renderDevice->SetScissor(nx_float_to_int_clamped(x), nx_float_to_int_clamped(y),
                                         nx_float_to_int_clamped(width),
                                         nx_float_to_int_clamped(height));
  }
  return 0;
}

int nx_graphics_ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset,
                           int pitch) {
  if (pitch == 0) pitch = width;
  if (nx_graphics_renderDevice != nullptr) {
    nx_graphics_renderDevice->ReadPixels(pixels, x, y, width, height, offset, pitch);
  }
  return 0;
}

int nx_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
  c_GraphicsContext* context = nx_graphics_context;
  context->m_ix = ix;
  context->m_iy = iy;
  context->m_jx = jx;
  context->m_jy = jy;
  context->m_tx = tx;
  context->m_ty = ty;
  nx_graphics_MatrixChanged(context);
  return 0;
}

int nx_graphics_SetMatrix2(Array<float> matrix) {
  return nx_graphics_SetMatrix(matrix[0], matrix[1], matrix[2], matrix[3], matrix[4], matrix[5]);
}

int nx_graphics_Transform(float ix, float iy, float jx, float jy, float tx, float ty) {
  c_GraphicsContext* context = nx_graphics_context;
  float ix2 = context->m_ix * ix + context->m_jx * iy;
  float iy2 = context->m_iy * ix + context->m_jy * iy;
  float jx2 = context->m_ix * jx + context->m_jx * jy;
  float jy2 = context->m_iy * jx + context->m_jy * jy;
  float tx2 = context->m_ix * tx + context->m_jx * ty + context->m_tx;
  float ty2 = context->m_iy * tx + context->m_jy * ty + context->m_ty;
  return nx_graphics_SetMatrix(ix2, iy2, jx2, jy2, tx2, ty2);
}

int nx_graphics_Transform2(Array<float> matrix) {
  return nx_graphics_Transform(matrix[0], matrix[1], matrix[2], matrix[3], matrix[4], matrix[5]);
}

int nx_graphics_Translate(float x, float y) {
  return nx_graphics_Transform(1.0f, 0.0f, 0.0f, 1.0f, x, y);
}

int nx_graphics_Scale(float x, float y) {
  return nx_graphics_Transform(x, 0.0f, 0.0f, y, 0.0f, 0.0f);
}

int nx_graphics_Rotate(float angle) {
  float radians = angle * 0.017453292f;
  float cosine = std::cos(radians);
  float sine = std::sin(radians);
  return nx_graphics_Transform(cosine, -sine, sine, cosine, 0.0f, 0.0f);
}

// Pushes past the 32 entries are not stored but still counted in m_matrixSp, so that each
// one's pop is the one that does nothing and every earlier push still gets its own matrix
// back.
int nx_graphics_PushMatrix() {
  c_GraphicsContext* context = nx_graphics_context;
  int sp = context->m_matrixSp;
  if (sp > INT_MAX - 6) return 0;
  if (sp + 6 <= context->m_matrixStack.Length()) {
    float* slot = context->m_matrixStack.Data() + sp;
    slot[0] = context->m_ix;
    slot[1] = context->m_iy;
    slot[2] = context->m_jx;
    slot[3] = context->m_jy;
    slot[4] = context->m_tx;
    slot[5] = context->m_ty;
  }
  context->m_matrixSp = sp + 6;
  return 0;
}

int nx_graphics_PopMatrix() {
  c_GraphicsContext* context = nx_graphics_context;
  int sp = context->m_matrixSp - 6;
  if (sp < 0) return 0;
  context->m_matrixSp = sp;
  if (sp + 6 > context->m_matrixStack.Length()) return 0;
  const float* slot = context->m_matrixStack.Data() + sp;
  return nx_graphics_SetMatrix(slot[0], slot[1], slot[2], slot[3], slot[4], slot[5]);
}

int nx_graphics_DrawRect(float x, float y, float width, float height) {
  if (nx_graphics_renderDevice == nullptr) return 0;
  nx_graphics_context->p_Validate();
  nx_graphics_renderDevice->DrawRect(x, y, width, height);
  return 0;
}

int nx_graphics_DrawLine(float x1, float y1, float x2, float y2) {
  if (nx_graphics_renderDevice == nullptr) return 0;
  nx_graphics_context->p_Validate();
  nx_graphics_renderDevice->DrawLine(x1, y1, x2, y2);
  return 0;
}

int nx_graphics_DrawEllipse(float x, float y, float xRadius, float yRadius) {
  if (nx_graphics_renderDevice == nullptr) return 0;
  nx_graphics_context->p_Validate();
  nx_graphics_renderDevice->DrawOval(x - xRadius, y - yRadius, xRadius * 2.0f, yRadius * 2.0f);
  return 0;
}

int nx_graphics_DrawImage(c_Image* image, float x, float y, int frame) {
  c_Frame* drawn = nx_graphics_DrawableFrame(image, frame);
  if (drawn == nullptr || nx_graphics_renderDevice == nullptr) return 0;
  nx_graphics_context->p_Validate();
  nx_graphics_DrawFrame(image, drawn, x - image->m_handleX, y - image->m_handleY);
  return 0;
}

// The matrix is saved here rather than on the stack, so an image drawn with the stack full
// still leaves the caller's matrix as it found it.
int nx_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX,
                           float scaleY, int frame) {
  c_Frame* drawn = nx_graphics_DrawableFrame(image, frame);
  if (drawn == nullptr || nx_graphics_renderDevice == nullptr) return 0;
  c_GraphicsContext* context = nx_graphics_context;
  float saved[6] = {context->m_ix, context->m_iy, context->m_jx,
                    context->m_jy, context->m_tx, context->m_ty};
  nx_graphics_Transform(1.0f, 0.0f, 0.0f, 1.0f, x, y);
  nx_graphics_Rotate(rotation);
  nx_graphics_Transform(scaleX, 0.0f, 0.0f, scaleY, 0.0f, 0.0f);
  nx_graphics_Transform(1.0f, 0.0f, 0.0f, 1.0f, -image->m_handleX, -image->m_handleY);
  context->p_Validate();
  nx_graphics_DrawFrame(image, drawn, 0.0f, 0.0f);
  return nx_graphics_SetMatrix(saved[0], saved[1], saved[2], saved[3], saved[4], saved[5]);
}

c_Image* nx_graphics_LoadImage(String path, int frameCount, int flags) {
  if (frameCount < 1 || nx_graphics_device == nullptr) return nullptr;
  gxtkSurface* surface = nx_graphics_device->LoadSurface(nx_data_FixDataPath(path));
  if (surface == nullptr) return nullptr;
  return gc_new<c_Image>()->m_new()->p_Init(surface, frameCount, flags);
}

c_Image* nx_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount,
                                int flags) {
  c_Image* atlas = nx_graphics_LoadImage(path, 1, 0);
  if (atlas == nullptr || atlas->m_frames.Length() != 1) return nullptr;
  return atlas->p_GrabImage(0, 0, frameWidth, frameHeight, frameCount, flags);
}

int nx_graphics_SetFont(c_Image* font, int firstChar) {
  c_GraphicsContext* context = nx_graphics_context;
  if (font == nullptr) {
    if (context->m_defaultFont == nullptr) {
      gc_assign(context->m_defaultFont,
                nx_graphics_LoadImage(String(u"tovu_font.png"), 96, ImageFlagPadX));
    }
    font = context->m_defaultFont;
    firstChar = 32;
    if (font == nullptr) {
      gc_assign(context->m_font, nullptr);
      context->m_firstChar = 32;
      return 0;
    }
  }
  gc_assign(context->m_font, font);
  context->m_firstChar = firstChar;
  return 0;
}
