// A graphics device that records the calls the graphics context makes instead of drawing, and
// surfaces of a chosen size with no pixels, for the context's tests.
#pragma once

#include <string>
#include <vector>

#include "devices/graphics.h"
#include "devices/surface.h"
#include "framework/graphics.h"

// ---------------------------------------------------------------------------------------------
// Types

struct RecordedCall {
  std::string name;
  std::vector<float> values;
  gxtkSurface* surface = nullptr;
};

class RecordingDevice : public gxtkGraphics {
 public:
  std::vector<RecordedCall> calls;
  std::vector<std::string> loadedPaths;
  // Size of the surface LoadSurface hands out; 0 x 0 means the file is missing.
  int surfaceWidth = 0;
  int surfaceHeight = 0;

  int Width() override { return 640; }
  int Height() override { return 480; }
  gxtkSurface* LoadSurface(String path) override {
    loadedPaths.push_back(path.ToUtf8());
    if (surfaceWidth == 0) return nullptr;
    gxtkSurface* surface = gc_new<gxtkSurface>();
    surface->width = surfaceWidth;
    surface->height = surfaceHeight;
    return surface;
  }
  int Cls(float r, float g, float b) override { return Record("Cls", {r, g, b}); }
  int SetAlpha(float alpha) override { return Record("SetAlpha", {alpha}); }
  int SetColor(float r, float g, float b) override { return Record("SetColor", {r, g, b}); }
  int SetBlend(int blend) override { return Record("SetBlend", {float(blend)}); }
  int SetScissor(int x, int y, int w, int h) override {
    scissor = {x, y, w, h};
    return Record("SetScissor", {float(x), float(y), float(w), float(h)});
  }
  int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) override {
    return Record("SetMatrix", {ix, iy, jx, jy, tx, ty});
  }
  int DrawRect(float x, float y, float w, float h) override {
    return Record("DrawRect", {x, y, w, h});
  }
  int DrawLine(float x1, float y1, float x2, float y2) override {
    return Record("DrawLine", {x1, y1, x2, y2});
  }
  int DrawOval(float x, float y, float w, float h) override {
    return Record("DrawOval", {x, y, w, h});
  }
  int DrawSurface(gxtkSurface* surface, float x, float y) override {
    return Record("DrawSurface", {x, y}, surface);
  }
  int DrawSurface2(gxtkSurface* surface, float x, float y, int sx, int sy, int sw,
                   int sh) override {
    return Record("DrawSurface2", {x, y, float(sx), float(sy), float(sw), float(sh)}, surface);
  }
  int ReadPixels(Array<int>, int x, int y, int w, int h, int offset, int pitch) override {
    return Record("ReadPixels",
                  {float(x), float(y), float(w), float(h), float(offset), float(pitch)});
  }

  // Integer scissor as last sent; floats cannot hold INT_MAX exactly.
  std::vector<int> scissor;

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const RecordedCall& call : calls) names.push_back(call.name);
    return names;
  }
  int Count(const std::string& name) const {
    int count = 0;
    for (const RecordedCall& call : calls) count += call.name == name ? 1 : 0;
    return count;
  }
  const RecordedCall& Last(const std::string& name) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
      if (it->name == name) return *it;
    }
    static RecordedCall none;
    return none;
  }

 private:
  int Record(const char* name, std::vector<float> values, gxtkSurface* surface = nullptr) {
    calls.push_back({name, std::move(values), surface});
    return 0;
  }
};

// A fresh context and a recording device registered and inside a frame.
inline RecordingDevice* StartRecordingFrame() {
  nx_graphics_Init();
  RecordingDevice* device = gc_new<RecordingDevice>();
  nx_graphics_SetGraphicsDevice(device);
  nx_graphics_BeginRender();
  device->calls.clear();
  return device;
}

inline gxtkSurface* BlankSurface(int width, int height) {
  gxtkSurface* surface = gc_new<gxtkSurface>();
  surface->width = width;
  surface->height = height;
  return surface;
}

// Where the matrix last sent to the device puts (x, y).
inline std::vector<float> MapThroughDevice(const RecordingDevice* device, float x, float y) {
  const std::vector<float>& m = device->Last("SetMatrix").values;
  if (m.size() != 6) return {};
  return {x * m[0] + y * m[2] + m[4], x * m[1] + y * m[3] + m[5]};
}
