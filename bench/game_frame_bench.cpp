// The game's heaviest frames, timed. Two frames: the heaviest the autopilot reaches in play
// (a long game of high combos whose ripples light the whole field, then the ball parked under
// a paddle while paused, which fills the particle and ripple pools), and the heaviest the
// game's rules allow in one update of play, built in the headless harness through the game's
// own records and operations (every cell lit and holding a block or an item, the particle pool
// full, every ripple live, the head-up texts, paddles, ball, power glow, combo bar and a
// floating number). The update that records each is timed, and each frame is then drawn in a
// 640 x 480 window three ways, each in processes of its own, taking turns: the game's own
// render (replay, graphics context, device), the floor (the same vertices streamed to buffer
// objects once a frame, then one call per run of texture, blend and primitive kind), and SDL2's
// renderer (one geometry call per primitive, as a game drawing through SDL2 would); each
// clears its frame first, as the game does. Medians of the rounds are
// reported; the played frame's summary line comes first and the worst frame's last. Run it
// from the repository root (the game reads ./data) under a display:
// xvfb-run -a build/bench/bench_game_frame [rounds] [frames].

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// <GLFW/glfw3.h> for the windows; GLFW_INCLUDE_NONE because the device's seam brings gl.h.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <SDL2/SDL.h>
#include <unistd.h>

#include "bench/bench_runs.h"
#include "bench/played_frame.h"
#include "devices/gl_seam.h"
#include "devices/graphics.h"
#include "framework/app.h"
#include "game/globals.h"
#include "host/glfw_game.h"
#include "host/program.h"
#include "support/game_harness.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

// One batch the device drew: its primitive, texture (0 for none), blend and vertices. Quads
// are stored as their four corners; `quads` says so.
struct bench_Batch {
  GLenum mode = GL_TRIANGLES;
  bool quads = false;
  GLuint texture = 0;
  GLenum blend = GL_ONE_MINUS_SRC_ALPHA;
  std::vector<gxtkVertex> vertices;
};

struct bench_Texture {
  GLuint id = 0;
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;  // RGBA, as the texture holds them (premultiplied)
};

// A run of batches that share texture, blend and primitive kind, as indexed triangles (or
// lines or points), within the frame's one vertex buffer.
struct bench_Run {
  GLenum mode;
  GLuint texture;
  GLenum blend;
  int firstIndex;
  int indexCount;
};

// ---------------------------------------------------------------------------------------------
// Globals

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kWarmUpFrames = 20;

// What the recording seam saw: the state in force and the batches of the frame.
struct {
  gxtkGLSeam real;
  const gxtkVertex* vertices = nullptr;
  GLuint bound = 0;
  bool texturing = false;
  GLenum blend = GL_ONE_MINUS_SRC_ALPHA;
  bool recording = false;
  int draws = 0;
  std::vector<bench_Batch> batches;
} bench_seam;

// ---------------------------------------------------------------------------------------------
// Internal functions

template <class T>
void bench_Put(FILE* file, const T& value) {
  std::fwrite(&value, sizeof(T), 1, file);
}

template <class T>
bool bench_Get(FILE* file, T& value) {
  return std::fread(&value, sizeof(T), 1, file) == 1;
}

void bench_Note(GLenum mode, bool quads, const gxtkVertex* first, int count) {
  bench_seam.draws += 1;
  if (!bench_seam.recording) return;
  bench_Batch batch;
  batch.mode = mode;
  batch.quads = quads;
  batch.texture = bench_seam.texturing ? bench_seam.bound : 0;
  batch.blend = bench_seam.blend;
  batch.vertices.assign(first, first + count);
  bench_seam.batches.push_back(std::move(batch));
}

// The device's seam with every draw counted, and recorded while `recording` is on.
void bench_InstallSeam() {
  bench_seam.real = nx_glseam_table;
  gxtkGLSeam& seam = nx_glseam_table;
  seam.VertexPointer = [](GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    bench_seam.vertices = static_cast<const gxtkVertex*>(pointer);
    bench_seam.real.VertexPointer(size, type, stride, pointer);
  };
  seam.BindTexture = [](GLenum target, GLuint texture) {
    bench_seam.bound = texture;
    bench_seam.real.BindTexture(target, texture);
  };
  seam.Enable = [](GLenum capability) {
    if (capability == GL_TEXTURE_2D) bench_seam.texturing = true;
    bench_seam.real.Enable(capability);
  };
  seam.Disable = [](GLenum capability) {
    if (capability == GL_TEXTURE_2D) bench_seam.texturing = false;
    bench_seam.real.Disable(capability);
  };
  seam.BlendFunc = [](GLenum source, GLenum destination) {
    bench_seam.blend = destination;
    bench_seam.real.BlendFunc(source, destination);
  };
  seam.DrawArrays = [](GLenum mode, GLint first, GLsizei count) {
    bench_Note(mode, false, bench_seam.vertices + first, count);
    bench_seam.real.DrawArrays(mode, first, count);
  };
  // The device draws quads only this way, four vertices to six indices.
  seam.DrawElements = [](GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
    bench_Note(mode, true, bench_seam.vertices, count / 6 * 4);
    bench_seam.real.DrawElements(mode, count, type, indices);
  };
}

// The draw calls the frame needs at least: one per run of equal texture, blend and primitive
// kind, and per 256 quads (the device's batch); each oval's fan is a kind of its own.
int bench_LeastDraws(const std::vector<bench_Batch>& batches) {
  int least = 0;
  size_t i = 0;
  while (i < batches.size()) {
    const bench_Batch& head = batches[i];
    if (!head.quads) {
      least += 1;
      i += 1;
      continue;
    }
    int quads = 0;
    size_t j = i;
    for (; j < batches.size() && batches[j].quads && batches[j].texture == head.texture &&
           batches[j].blend == head.blend;
         ++j) {
      quads += static_cast<int>(batches[j].vertices.size()) / 4;
    }
    least += (quads + gxtkGraphics::MaxQuads - 1) / gxtkGraphics::MaxQuads;
    i = j;
  }
  return least;
}

// The items a cell of the item area may hold.
constexpr int kItemKinds[] = {1, 2, 3, 5, 6, 7};
// Times the worst frame's update is built and timed, for its median.
constexpr int kWorstFrameUpdates = 31;

// The fullest field the rules allow before an update of play: every cell lit and holding a
// block (blocks are added whatever a cell holds), every other cell of the item area an item as
// well; the particle pool full of sparks and a floating number; all ripples live; power and
// combo on. The ball stands beside the item area, so no item is collected and the combo stays.
void bench_FillField(c_MyApp& app) {
  app.p_BuildWalls();
  for (int x = 0; x < c_MyApp::GridSize; ++x) {
    for (int y = 0; y < c_MyApp::GridSize; ++y) {
      float* cell = &app.m_grid[(y * c_MyApp::GridSize + x) * c_MyApp::CellFloats];
      cell[c_MyApp::CellFlashRed] = 200.0f;
      cell[c_MyApp::CellFlashGreen] = 120.0f;
      cell[c_MyApp::CellFlashBlue] = 60.0f;
      cell[c_MyApp::CellStrength] = 1.0f;
      bool itemArea = x >= 7 && x <= 25 && y >= 7 && y <= 25;
      if (itemArea && (x + y) % 2 == 1) {
        cell[c_MyApp::CellItem] = static_cast<float>(kItemKinds[(x * 7 + y) % 6]);
      }
    }
  }
  float middleX = nx_Game_jscrw / 2.0f;
  float middleY = nx_Game_jscrh / 2.0f;
  app.p_ResetParticles(250);
  app.p_Gimme(999, middleX, middleY - 60.0f);
  while (app.p_FreeParticle() >= 0) {
    app.p_ThrowParticle(middleX, middleY, 1, 3, c_MyApp::Absent, c_MyApp::Absent);
  }
  for (int ripple = 0; ripple < c_MyApp::RippleCount; ++ripple) {
    app.p_AddRipple(middleX, middleY, 4, 255, 128, 0);
  }
  app.m_score = 12345678;
  app.m_shownScore = app.m_score;
  app.m_combo = 99;
  app.m_volley = 99;
  app.m_comboTimer = 60.0f;
  app.m_powerTimer = 100;
  float* ball = &app.m_players[c_MyApp::Ball * c_MyApp::EntityStride];
  ball[c_MyApp::EntityX] = 4.5f * app.p_CellSize();
  ball[c_MyApp::EntityY] = middleY;
}

// The worst frame: a game started from the menu, then the fullest field built before each of
// a number of updates, each timed.
bench_Capture bench_WorstFrame() {
  GameHarness game(kWidth, kHeight);
  game.FinishLoading();
  game.Update();
  game.Press(13);
  game.Update(2);
  bench_Capture capture;
  std::vector<double> updates;
  for (int update = 0; update < kWorstFrameUpdates; ++update) {
    bench_FillField(*game.app);
    double start = bench_Seconds();
    game.Update();
    updates.push_back((bench_Seconds() - start) * 1e6);
    bench_Keep(game, capture);
  }
  capture.updateMicroseconds = bench_Median(updates);
  int numbers = 0;
  for (int record = 0; record <= game.app->m_particleCount; ++record) {
    numbers +=
        game.app->m_particles[record * c_MyApp::EffectFloats + c_MyApp::ParticleKind] == 99.0f;
  }
  std::printf("worst frame after its update: combo %d, combo bar %.1f, floating numbers %d\n",
              game.app->m_combo, game.app->m_comboTimer, numbers);
  return capture;
}

void bench_SaveRecords(const std::string& path, const bench_Capture& capture) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  bench_Put(file, static_cast<int>(capture.records.size()));
  std::fwrite(capture.clear, sizeof(float), 4, file);
  std::fwrite(capture.records.data(), sizeof(float), capture.records.size(), file);
  std::fclose(file);
}

// The real game in a real window, assets loaded, with the captured frame as its draw list.
// Null when the window or the records are not there.
NxGlfwGame* bench_OpenGame(const std::string& directory) {
  glfwInitHint(GLFW_JOYSTICK_HAT_BUTTONS, GLFW_FALSE);
  if (glfwInit() != GLFW_TRUE) return nullptr;
  NxGlfwGame* host = new NxGlfwGame();
  nx_std_main(0, nullptr);
  host->SetGlfwWindow(kWidth, kHeight, 8, 8, 8, 0, 0, 0, false);
  glfwSwapInterval(0);
  host->StartGame();
  host->RenderGame();
  c_MyApp* app = static_cast<c_MyApp*>(nx_app__app);
  for (int step = 0; step < 200 && app->m_loadStep > 0; ++step) {
    host->UpdateGame();
    host->RenderGame();
  }

  FILE* file = std::fopen((directory + "/records.bin").c_str(), "rb");
  int count = 0;
  if (file == nullptr || !bench_Get(file, count) || count < 0 || count > app->m_drawList.Length() ||
      std::fread(&app->m_clsRed, sizeof(float), 1, file) != 1 ||
      std::fread(&app->m_clsGreen, sizeof(float), 1, file) != 1 ||
      std::fread(&app->m_clsBlue, sizeof(float), 1, file) != 1 ||
      std::fread(&app->m_clsAlpha, sizeof(float), 1, file) != 1 ||
      std::fread(app->m_drawList.Data(), sizeof(float), static_cast<size_t>(count), file) !=
          static_cast<size_t>(count)) {
    if (file != nullptr) std::fclose(file);
    return nullptr;
  }
  std::fclose(file);
  app->m_drawCount = count;
  return host;
}

// Draws the frame once while recording what reaches OpenGL, and writes the batches and the
// textures they use for the floor and SDL2 runs.
int bench_Prepare(const std::string& directory) {
  NxGlfwGame* host = bench_OpenGame(directory);
  if (host == nullptr) return 1;
  bench_InstallSeam();
  bench_seam.recording = true;
  host->RenderGame();
  bench_seam.recording = false;

  std::map<GLuint, bench_Texture> textures;
  for (const bench_Batch& batch : bench_seam.batches) {
    if (batch.texture == 0 || textures.count(batch.texture) > 0) continue;
    bench_Texture& texture = textures[batch.texture];
    texture.id = batch.texture;
    glBindTexture(GL_TEXTURE_2D, batch.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texture.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texture.height);
    texture.pixels.resize(static_cast<size_t>(texture.width) * texture.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texture.pixels.data());
  }

  FILE* file = std::fopen((directory + "/frame.bin").c_str(), "wb");
  if (file == nullptr) return 1;
  bench_Put(file, static_cast<int>(textures.size()));
  for (const auto& [id, texture] : textures) {
    bench_Put(file, texture.id);
    bench_Put(file, texture.width);
    bench_Put(file, texture.height);
    std::fwrite(texture.pixels.data(), 1, texture.pixels.size(), file);
  }
  bench_Put(file, static_cast<int>(bench_seam.batches.size()));
  for (const bench_Batch& batch : bench_seam.batches) {
    bench_Put(file, batch.mode);
    bench_Put(file, static_cast<int>(batch.quads));
    bench_Put(file, batch.texture);
    bench_Put(file, batch.blend);
    bench_Put(file, static_cast<int>(batch.vertices.size()));
    std::fwrite(batch.vertices.data(), sizeof(gxtkVertex), batch.vertices.size(), file);
  }
  std::fclose(file);
  std::printf("draws=%d least_draws=%d batches=%zu\n", bench_seam.draws,
              bench_LeastDraws(bench_seam.batches), bench_seam.batches.size());
  return 0;
}

// The game's own render of the frame: microseconds a frame, and its draw calls.
int bench_Render(const std::string& directory, int frames) {
  NxGlfwGame* host = bench_OpenGame(directory);
  if (host == nullptr) return 1;
  bench_InstallSeam();
  for (int frame = 0; frame < kWarmUpFrames; ++frame) host->RenderGame();
  glFinish();
  bench_seam.draws = 0;
  double start = bench_Seconds();
  for (int frame = 0; frame < frames; ++frame) host->RenderGame();
  glFinish();
  double elapsed = bench_Seconds() - start;
  std::printf("us=%.1f draws=%d\n", elapsed * 1e6 / frames, bench_seam.draws / frames);
  return 0;
}

struct bench_Frame {
  std::vector<bench_Texture> textures;
  std::vector<bench_Batch> batches;
};

bool bench_LoadFrame(const std::string& directory, bench_Frame& frame) {
  FILE* file = std::fopen((directory + "/frame.bin").c_str(), "rb");
  if (file == nullptr) return false;
  int count = 0;
  bool good = bench_Get(file, count) && count >= 0 && count < 1000;
  for (int i = 0; good && i < count; ++i) {
    bench_Texture texture;
    good = bench_Get(file, texture.id) && bench_Get(file, texture.width) &&
           bench_Get(file, texture.height) && texture.width > 0 && texture.height > 0 &&
           texture.width <= 8192 && texture.height <= 8192;
    if (!good) break;
    texture.pixels.resize(static_cast<size_t>(texture.width) * texture.height * 4);
    good =
        std::fread(texture.pixels.data(), 1, texture.pixels.size(), file) == texture.pixels.size();
    frame.textures.push_back(std::move(texture));
  }
  good = good && bench_Get(file, count) && count >= 0 && count < 100000;
  for (int i = 0; good && i < count; ++i) {
    bench_Batch batch;
    int quads = 0;
    int vertices = 0;
    good = bench_Get(file, batch.mode) && bench_Get(file, quads) &&
           bench_Get(file, batch.texture) && bench_Get(file, batch.blend) &&
           bench_Get(file, vertices) && vertices >= 0 && vertices <= gxtkGraphics::MaxVertices;
    if (!good) break;
    batch.quads = quads != 0;
    batch.vertices.resize(static_cast<size_t>(vertices));
    good = std::fread(batch.vertices.data(), sizeof(gxtkVertex), batch.vertices.size(), file) ==
           batch.vertices.size();
    frame.batches.push_back(std::move(batch));
  }
  std::fclose(file);
  return good;
}

// The kind of primitive a batch's vertices make once quads and fans are triangles.
GLenum bench_Kind(const bench_Batch& batch) {
  if (batch.quads || batch.mode == GL_TRIANGLE_FAN) return GL_TRIANGLES;
  return batch.mode;
}

// Appends the batch's primitives to the index list as its kind draws them.
void bench_Indices(const bench_Batch& batch, uint32_t base, std::vector<uint32_t>& indices) {
  uint32_t count = static_cast<uint32_t>(batch.vertices.size());
  if (batch.quads) {
    for (uint32_t corner = 0; corner + 3 < count; corner += 4) {
      for (uint32_t offset : {0u, 1u, 2u, 0u, 2u, 3u}) indices.push_back(base + corner + offset);
    }
  } else if (batch.mode == GL_TRIANGLE_FAN) {
    for (uint32_t point = 1; point + 1 < count; ++point) {
      for (uint32_t offset : {0u, point, point + 1}) indices.push_back(base + offset);
    }
  } else {
    for (uint32_t point = 0; point < count; ++point) indices.push_back(base + point);
  }
}

// The floor: the frame's vertices in one array, one indexed call per run.
int bench_Floor(const std::string& directory, int frames) {
  bench_Frame frame;
  if (!bench_LoadFrame(directory, frame) || glfwInit() != GLFW_TRUE) return 1;
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 5);
  // The game's own window format: no alpha, depth or stencil to keep.
  glfwWindowHint(GLFW_ALPHA_BITS, 0);
  glfwWindowHint(GLFW_DEPTH_BITS, 0);
  glfwWindowHint(GLFW_STENCIL_BITS, 0);
  GLFWwindow* window = glfwCreateWindow(kWidth, kHeight, "floor", nullptr, nullptr);
  if (window == nullptr) return 1;
  glfwMakeContextCurrent(window);
  glfwSwapInterval(0);
  // Buffer objects are OpenGL 1.5's, reached through GLFW like any extension.
  auto genBuffers =
      reinterpret_cast<void (*)(GLsizei, GLuint*)>(glfwGetProcAddress("glGenBuffers"));
  auto bindBuffer = reinterpret_cast<void (*)(GLenum, GLuint)>(glfwGetProcAddress("glBindBuffer"));
  auto bufferData = reinterpret_cast<void (*)(GLenum, std::ptrdiff_t, const void*, GLenum)>(
      glfwGetProcAddress("glBufferData"));
  if (genBuffers == nullptr || bindBuffer == nullptr || bufferData == nullptr) return 1;

  std::map<GLuint, GLuint> names;
  for (const bench_Texture& texture : frame.textures) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texture.width, texture.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, texture.pixels.data());
    names[texture.id] = name;
  }

  std::vector<gxtkVertex> vertices;
  std::vector<uint32_t> indices;
  std::vector<bench_Run> runs;
  for (const bench_Batch& batch : frame.batches) {
    GLenum kind = bench_Kind(batch);
    GLuint texture = batch.texture == 0 ? 0 : names[batch.texture];
    if (runs.empty() || runs.back().mode != kind || runs.back().texture != texture ||
        runs.back().blend != batch.blend) {
      runs.push_back({kind, texture, batch.blend, static_cast<int>(indices.size()), 0});
    }
    bench_Indices(batch, static_cast<uint32_t>(vertices.size()), indices);
    vertices.insert(vertices.end(), batch.vertices.begin(), batch.vertices.end());
    runs.back().indexCount = static_cast<int>(indices.size()) - runs.back().firstIndex;
  }

  glViewport(0, 0, kWidth, kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kWidth, kHeight, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  // The frame's vertices and indices go to OpenGL once a frame, as one stream each; the
  // pointers are offsets into the bound buffers.
  GLuint buffers[2] = {};
  genBuffers(2, buffers);
  bindBuffer(GL_ARRAY_BUFFER, buffers[0]);
  bindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
  glVertexPointer(2, GL_FLOAT, sizeof(gxtkVertex),
                  reinterpret_cast<const void*>(offsetof(gxtkVertex, x)));
  glTexCoordPointer(2, GL_FLOAT, sizeof(gxtkVertex),
                    reinterpret_cast<const void*>(offsetof(gxtkVertex, u)));
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(gxtkVertex),
                 reinterpret_cast<const void*>(offsetof(gxtkVertex, color)));
  glEnable(GL_BLEND);
  auto draw = [&] {
    GLuint bound = 0;
    GLenum blend = 0;
    // Every frame starts cleared and streams its vertices, as the game's do.
    glClear(GL_COLOR_BUFFER_BIT);
    bufferData(GL_ARRAY_BUFFER, static_cast<std::ptrdiff_t>(vertices.size() * sizeof(gxtkVertex)),
               vertices.data(), GL_STREAM_DRAW);
    bufferData(GL_ELEMENT_ARRAY_BUFFER,
               static_cast<std::ptrdiff_t>(indices.size() * sizeof(uint32_t)), indices.data(),
               GL_STREAM_DRAW);
    glDisable(GL_TEXTURE_2D);
    for (const bench_Run& run : runs) {
      if (run.texture != bound) {
        if (run.texture == 0) glDisable(GL_TEXTURE_2D);
        if (bound == 0) glEnable(GL_TEXTURE_2D);
        if (run.texture != 0) glBindTexture(GL_TEXTURE_2D, run.texture);
        bound = run.texture;
      }
      if (run.blend != blend) {
        glBlendFunc(GL_ONE, run.blend);
        blend = run.blend;
      }
      glDrawElements(run.mode, run.indexCount, GL_UNSIGNED_INT,
                     reinterpret_cast<const void*>(run.firstIndex * sizeof(uint32_t)));
    }
    glfwSwapBuffers(window);
  };
  for (int warm = 0; warm < kWarmUpFrames; ++warm) draw();
  glFinish();
  double start = bench_Seconds();
  for (int count = 0; count < frames; ++count) draw();
  glFinish();
  double elapsed = bench_Seconds() - start;
  std::printf("us=%.1f draws=%zu\n", elapsed * 1e6 / frames, runs.size());
  glfwDestroyWindow(window);
  glfwTerminate();
  return 0;
}

// SDL2's renderer drawing the frame one primitive at a time, with the device's blending of
// premultiplied colours.
int bench_Sdl(const std::string& directory, int frames) {
  bench_Frame frame;
  if (!bench_LoadFrame(directory, frame) || SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("SDL2", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                        kWidth, kHeight, 0);
  SDL_Renderer* renderer =
      window != nullptr ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
  if (renderer == nullptr && window != nullptr) renderer = SDL_CreateRenderer(window, -1, 0);
  if (renderer == nullptr) return 1;
  SDL_RendererInfo info;
  SDL_GetRendererInfo(renderer, &info);
  SDL_BlendMode premultiplied = SDL_ComposeCustomBlendMode(
      SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD,
      SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD);
  SDL_BlendMode additive =
      SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD,
                                 SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD);

  std::map<GLuint, SDL_Texture*> textures;
  for (const bench_Texture& texture : frame.textures) {
    SDL_Texture* made = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888,
                                          SDL_TEXTUREACCESS_STATIC, texture.width, texture.height);
    if (made == nullptr) return 1;
    SDL_UpdateTexture(made, nullptr, texture.pixels.data(), texture.width * 4);
    textures[texture.id] = made;
  }

  // Every primitive as its own vertices and indices.
  struct Primitive {
    SDL_Texture* texture;
    SDL_BlendMode blend;
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;
  };
  std::vector<Primitive> primitives;
  for (const bench_Batch& batch : frame.batches) {
    if (bench_Kind(batch) != GL_TRIANGLES) continue;
    size_t size = batch.quads ? 4 : (batch.mode == GL_TRIANGLE_FAN ? batch.vertices.size() : 3);
    for (size_t first = 0; size > 0 && first + size <= batch.vertices.size(); first += size) {
      Primitive primitive;
      primitive.texture = batch.texture == 0 ? nullptr : textures[batch.texture];
      primitive.blend = batch.blend == GL_ONE ? additive : premultiplied;
      for (size_t i = first; i < first + size; ++i) {
        const gxtkVertex& vertex = batch.vertices[i];
        SDL_Vertex converted;
        converted.position = {vertex.x, vertex.y};
        std::memcpy(&converted.color, &vertex.color, 4);
        converted.tex_coord = {vertex.u, vertex.v};
        primitive.vertices.push_back(converted);
      }
      bench_Batch single = batch;
      single.vertices.assign(batch.vertices.begin() + static_cast<long>(first),
                             batch.vertices.begin() + static_cast<long>(first + size));
      std::vector<uint32_t> indices;
      bench_Indices(single, 0, indices);
      primitive.indices.assign(indices.begin(), indices.end());
      primitives.push_back(std::move(primitive));
    }
  }

  auto draw = [&] {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    for (const Primitive& primitive : primitives) {
      if (primitive.texture != nullptr) {
        SDL_SetTextureBlendMode(primitive.texture, primitive.blend);
      } else {
        SDL_SetRenderDrawBlendMode(renderer, primitive.blend);
      }
      SDL_RenderGeometry(renderer, primitive.texture, primitive.vertices.data(),
                         static_cast<int>(primitive.vertices.size()), primitive.indices.data(),
                         static_cast<int>(primitive.indices.size()));
    }
    SDL_RenderPresent(renderer);
  };
  // Reading one pixel waits for the renderer to finish, as glFinish does for the others.
  auto finish = [&] {
    Uint32 pixel = 0;
    SDL_Rect one = {0, 0, 1, 1};
    SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
  };
  for (int warm = 0; warm < kWarmUpFrames; ++warm) draw();
  finish();
  double start = bench_Seconds();
  for (int count = 0; count < frames; ++count) draw();
  finish();
  double elapsed = bench_Seconds() - start;
  std::printf("us=%.1f calls=%zu renderer=%s\n", elapsed * 1e6 / frames, primitives.size(),
              info.name);
  for (auto& [id, texture] : textures) SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}

int bench_Child(const std::string& kind, const std::string& directory, int frames) {
  if (kind == "prepare") return bench_Prepare(directory);
  if (kind == "render") return bench_Render(directory, frames);
  if (kind == "floor") return bench_Floor(directory, frames);
  if (kind == "sdl2") return bench_Sdl(directory, frames);
  return 1;
}

// Draws one captured frame the three ways and prints its summary line, which begins with
// `label`; false when the frame could not be drawn.
bool bench_Measure(const char* label, const bench_Capture& capture, int rounds, int frames) {
  char directory[] = "/tmp/vexadrome-game-frame-XXXXXX";
  if (mkdtemp(directory) == nullptr) return false;
  bench_SaveRecords(std::string(directory) + "/records.bin", capture);
  std::printf("%s: %d records; update %.1f us (median)\n", label, capture.heaviestRecords,
              capture.updateMicroseconds);
  std::string prepared = bench_RunSelf({"--child", "prepare", directory, "0"});
  bool drawn = !prepared.empty();
  if (drawn) {
    std::printf("game render: %s", prepared.c_str());
    std::string frameCount = std::to_string(frames);
    std::map<std::string, std::vector<double>> figures =
        bench_Alternate({"render", "floor", "sdl2"}, rounds, "us", [&](const std::string& kind) {
          return std::vector<std::string>{"--child", kind, directory, frameCount};
        });
    double render = bench_Median(figures["render"]);
    double floor = bench_Median(figures["floor"]);
    double sdl = bench_Median(figures["sdl2"]);
    std::printf("medians over %d rounds of %d frames: render %.1f us (%.3f x floor, %.3f x SDL2)\n",
                rounds, frames, render, render / floor, render / sdl);
    std::printf("%s records=%d draws=%d render_us=%.1f floor_us=%.1f sdl2_us=%.1f update_us=%.1f\n",
                label, capture.heaviestRecords, static_cast<int>(bench_Field(prepared, "draws")),
                render, floor, sdl, capture.updateMicroseconds);
  }
  for (const char* name : {"/records.bin", "/frame.bin"}) {
    std::remove((std::string(directory) + name).c_str());
  }
  rmdir(directory);
  return drawn;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--child") {
    return bench_Child(argv[2], argv[3], std::atoi(argv[4]));
  }
  int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 5;
  int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
  if (access("data", R_OK) != 0) {
    std::printf("run from the repository root: the game reads ./data\n");
    return 1;
  }
  if (!bench_Measure("game_frame_played", bench_PlayedFrame(kWidth, kHeight), rounds, frames) ||
      !bench_Measure("game_frame", bench_WorstFrame(), rounds, frames)) {
    std::printf("the frame could not be drawn (is there a display?)\n");
    return 1;
  }
  return 0;
}
