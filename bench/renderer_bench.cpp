// Replays one heavy synthetic game frame (about 2,000 rectangles, 300 sprites from one
// texture, 200 glyphs from another, interleaved the way a frame of the game interleaves them)
// through the graphics device and, for comparison, through SDL2's renderer, and prints draw
// calls per frame and frames per second for both, each renderer measured in processes of its
// own, taking turns, with the medians of the rounds. Run it under a display: xvfb-run -a
// build/bench/bench_renderer [frames] [rounds].

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

// <GLFW/glfw3.h> for the device's window; GLFW_INCLUDE_NONE because the device brings gl.h.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <SDL2/SDL.h>

#include "bench/bench_runs.h"
#include "devices/gl_seam.h"
#include "devices/graphics.h"
#include "host/glfw_game.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

enum class BenchKind { Rect, Sprite, Glyph };

// One drawing of the synthetic frame, in window pixels.
struct BenchItem {
  BenchKind kind;
  float x, y, w, h;
  int srcx, srcy;
  unsigned char r, g, b, a;
};

// ---------------------------------------------------------------------------------------------
// Globals

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
constexpr int kSheetSize = 128;  // sprite sheet: 16 x 16 cells of 8 x 8
constexpr int kFontWidth = 128;  // font: 16 x 8 glyphs of 8 x 8
constexpr int kFontHeight = 64;

int bench_drawCalls = 0;
void (*bench_realDrawArrays)(GLenum, GLint, GLsizei) = nullptr;
void (*bench_realDrawElements)(GLenum, GLsizei, GLenum, const GLvoid*) = nullptr;

// ---------------------------------------------------------------------------------------------
// Internal functions

void bench_CountDrawArrays(GLenum mode, GLint first, GLsizei count) {
  ++bench_drawCalls;
  bench_realDrawArrays(mode, first, count);
}

void bench_CountDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
  ++bench_drawCalls;
  bench_realDrawElements(mode, count, type, indices);
}

// The frame: the play field's grid cells first, then paddles, ball and items (sprites) among
// particle rectangles, then the head-up texts, each string over a shadow rectangle.
std::vector<BenchItem> bench_MakeFrame() {
  std::vector<BenchItem> frame;
  unsigned seed = 12345;
  auto next = [&seed](unsigned range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % range;
  };
  for (int cell = 0; cell < 1400; ++cell) {
    float x = static_cast<float>(cell % 40) * 16.0f;
    float y = static_cast<float>(cell / 40) * 13.7f;
    frame.push_back({BenchKind::Rect, x, y, 15, 12, 0, 0, static_cast<unsigned char>(next(256)),
                     static_cast<unsigned char>(next(256)), 160, 255});
  }
  for (int group = 0; group < 30; ++group) {
    for (int sprite = 0; sprite < 10; ++sprite) {
      frame.push_back({BenchKind::Sprite, static_cast<float>(next(620)),
                       static_cast<float>(next(460)), 16, 16, static_cast<int>(next(16)) * 8,
                       static_cast<int>(next(16)) * 8, 255, 255, 255, 255});
    }
    for (int particle = 0; particle < 18; ++particle) {
      frame.push_back({BenchKind::Rect, static_cast<float>(next(636)),
                       static_cast<float>(next(476)), 3, 3, 0, 0, 255, 220, 80,
                       static_cast<unsigned char>(64 + next(192))});
    }
  }
  for (int text = 0; text < 20; ++text) {
    float x = 20.0f + static_cast<float>(text % 2) * 320.0f;
    float y = 20.0f + static_cast<float>(text / 2) * 44.0f;
    frame.push_back({BenchKind::Rect, x - 4, y - 4, 88, 16, 0, 0, 0, 0, 0, 128});
    for (int glyph = 0; glyph < 10; ++glyph) {
      frame.push_back({BenchKind::Glyph, x + static_cast<float>(glyph) * 8.0f, y, 8, 8,
                       static_cast<int>(next(16)) * 8, static_cast<int>(next(8)) * 8, 255, 255, 255,
                       255});
    }
  }
  return frame;
}

// Opaque-ish RGBA test pattern of the given size, malloc'ed as surfaces expect.
unsigned char* bench_Pattern(int width, int height) {
  unsigned char* pixels = static_cast<unsigned char*>(std::malloc(width * height * 4));
  for (int i = 0; i < width * height; ++i) {
    pixels[i * 4 + 0] = static_cast<unsigned char>(i * 7);
    pixels[i * 4 + 1] = static_cast<unsigned char>(i * 13);
    pixels[i * 4 + 2] = static_cast<unsigned char>(i * 3);
    pixels[i * 4 + 3] = (i % 5 == 0) ? 0 : 255;
  }
  return pixels;
}

double bench_Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Frames per second of the device; `drawCalls` receives the draw calls of one frame.
double bench_Device(const std::vector<BenchItem>& frame, int frames, int* drawCalls) {
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  glfwWindowHint(GLFW_RED_BITS, 8);
  glfwWindowHint(GLFW_GREEN_BITS, 8);
  glfwWindowHint(GLFW_BLUE_BITS, 8);
  GLFWwindow* window =
      glfwCreateWindow(kWindowWidth, kWindowHeight, "device benchmark", nullptr, nullptr);
  if (window == nullptr) return 0.0;
  glfwMakeContextCurrent(window);
  glfwSwapInterval(0);
  ++glfwGraphicsSeq;

  bench_realDrawArrays = nx_glseam_table.DrawArrays;
  bench_realDrawElements = nx_glseam_table.DrawElements;
  nx_glseam_table.DrawArrays = bench_CountDrawArrays;
  nx_glseam_table.DrawElements = bench_CountDrawElements;

  gxtkGraphics* device = gc_new<gxtkGraphics>();
  gxtkSurface* sheet = gc_new<gxtkSurface>();
  sheet->SetData(bench_Pattern(kSheetSize, kSheetSize), kSheetSize, kSheetSize, 4);
  gxtkSurface* font = gc_new<gxtkSurface>();
  font->SetData(bench_Pattern(kFontWidth, kFontHeight), kFontWidth, kFontHeight, 4);

  double start = 0.0;
  for (int f = -10; f < frames; ++f) {
    if (f == 0) {
      glFinish();
      start = bench_Seconds();
    }
    bench_drawCalls = 0;
    device->BeginRender();
    device->SetMatrix(1, 0, 0, 1, 0, 0);
    device->SetBlend(0);
    device->Cls(20, 20, 40);
    for (const BenchItem& item : frame) {
      device->SetColor(item.r, item.g, item.b);
      device->SetAlpha(item.a / 255.0f);
      switch (item.kind) {
        case BenchKind::Rect:
          device->DrawRect(item.x, item.y, item.w, item.h);
          break;
        case BenchKind::Sprite:
          device->SetMatrix(2, 0, 0, 2, item.x, item.y);
          device->DrawSurface2(sheet, 0, 0, item.srcx, item.srcy, 8, 8);
          device->SetMatrix(1, 0, 0, 1, 0, 0);
          break;
        case BenchKind::Glyph:
          device->DrawSurface2(font, item.x, item.y, item.srcx, item.srcy, 8, 8);
          break;
      }
    }
    device->EndRender();
    *drawCalls = bench_drawCalls;
  }
  glFinish();
  double elapsed = bench_Seconds() - start;

  nx_glseam_table.DrawArrays = bench_realDrawArrays;
  nx_glseam_table.DrawElements = bench_realDrawElements;
  sheet->Discard();
  font->Discard();
  glfwDestroyWindow(window);
  return frames / elapsed;
}

SDL_Texture* bench_SdlTexture(SDL_Renderer* renderer, int width, int height) {
  unsigned char* pixels = bench_Pattern(width, height);
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, 32, width * 4,
                                                            SDL_PIXELFORMAT_RGBA32);
  SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
  SDL_FreeSurface(surface);
  std::free(pixels);
  return texture;
}

// Frames per second of SDL2's renderer drawing the same frame.
double bench_Sdl(const std::vector<BenchItem>& frame, int frames, const char** rendererName) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 0.0;
  SDL_Window* window = SDL_CreateWindow("SDL2 renderer benchmark", SDL_WINDOWPOS_UNDEFINED,
                                        SDL_WINDOWPOS_UNDEFINED, kWindowWidth, kWindowHeight, 0);
  SDL_Renderer* renderer =
      window != nullptr ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
  if (renderer == nullptr && window != nullptr) renderer = SDL_CreateRenderer(window, -1, 0);
  if (renderer == nullptr) {
    SDL_Quit();
    return 0.0;
  }
  SDL_RendererInfo info;
  SDL_GetRendererInfo(renderer, &info);
  *rendererName = info.name;
  SDL_Texture* sheet = bench_SdlTexture(renderer, kSheetSize, kSheetSize);
  SDL_Texture* font = bench_SdlTexture(renderer, kFontWidth, kFontHeight);
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);

  double start = 0.0;
  for (int f = -10; f < frames; ++f) {
    if (f == 0) start = bench_Seconds();
    SDL_SetRenderDrawColor(renderer, 20, 20, 40, 255);
    SDL_RenderClear(renderer);
    for (const BenchItem& item : frame) {
      SDL_FRect target = {item.x, item.y, item.w, item.h};
      SDL_Rect source = {item.srcx, item.srcy, 8, 8};
      switch (item.kind) {
        case BenchKind::Rect:
          SDL_SetRenderDrawColor(renderer, item.r, item.g, item.b, item.a);
          SDL_RenderFillRectF(renderer, &target);
          break;
        case BenchKind::Sprite:
          SDL_RenderCopyF(renderer, sheet, &source, &target);
          break;
        case BenchKind::Glyph:
          SDL_RenderCopyF(renderer, font, &source, &target);
          break;
      }
    }
    SDL_RenderPresent(renderer);
  }
  // Reading one pixel waits for the renderer to finish, as glFinish does for the device.
  Uint32 pixel = 0;
  SDL_Rect one = {0, 0, 1, 1};
  SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
  double elapsed = bench_Seconds() - start;

  SDL_DestroyTexture(sheet);
  SDL_DestroyTexture(font);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return frames / elapsed;
}

// One measurement in this process: frames per second of one renderer, printed as one line.
int bench_Child(const std::string& kind, int frames) {
  std::vector<BenchItem> frame = bench_MakeFrame();
  if (kind == "device") {
    if (!glfwInit()) return 1;
    int drawCalls = 0;
    double rate = bench_Device(frame, frames, &drawCalls);
    glfwTerminate();
    if (rate <= 0.0) return 1;
    std::printf("fps=%.1f draws=%d\n", rate, drawCalls);
    return 0;
  }
  if (kind == "sdl2") {
    const char* sdlName = "none";
    double rate = bench_Sdl(frame, frames, &sdlName);
    if (rate <= 0.0) return 1;
    std::printf("fps=%.1f renderer=%s\n", rate, sdlName);
    return 0;
  }
  return 1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--child") {
    return bench_Child(argv[2], std::atoi(argv[3]));
  }
  int frames = argc > 1 ? std::atoi(argv[1]) : 200;
  if (frames < 1) frames = 1;
  int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 5;
  std::vector<BenchItem> frame = bench_MakeFrame();
  int rects = 0, sprites = 0, glyphs = 0;
  for (const BenchItem& item : frame) {
    rects += item.kind == BenchKind::Rect;
    sprites += item.kind == BenchKind::Sprite;
    glyphs += item.kind == BenchKind::Glyph;
  }
  std::printf("frame: %d rectangles, %d sprites, %d glyphs; %d frames each, %d rounds\n", rects,
              sprites, glyphs, frames, rounds);

  // Each renderer in processes of its own, taking turns: in one process the second would
  // profit from the first one's warm-up of the software rasteriser.
  std::string frameCount = std::to_string(frames);
  std::map<std::string, std::vector<double>> rates =
      bench_Alternate({"device", "sdl2"}, rounds, "fps", [&](const std::string& kind) {
        return std::vector<std::string>{"--child", kind, frameCount};
      });
  if (rates["device"].empty() || rates["sdl2"].empty()) {
    std::printf("a renderer could not run (is there a display?)\n");
    return 1;
  }
  std::string device = bench_RunSelf({"--child", "device", "1"});
  std::string sdl = bench_RunSelf({"--child", "sdl2", "1"});

  std::printf("%-28s %18s %12s\n", "renderer", "draw calls/frame", "frames/s");
  std::printf("%-28s %18d %12.1f\n", "gxtkGraphics (OpenGL 1.x)",
              static_cast<int>(bench_Field(device, "draws")), bench_Median(rates["device"]));
  std::printf("%-18s %-9s %18s %12.1f\n", "SDL2 renderer", bench_Word(sdl, "renderer").c_str(),
              "(not counted)", bench_Median(rates["sdl2"]));
  return 0;
}
