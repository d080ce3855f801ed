// Tunes through the real render device and sound output: pictures decoded by drawing their
// frames into a window and reading them back, and the shipped tunes played into OpenAL Soft's
// wave backend and measured.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "devices/audio.h"
#include "devices/graphics.h"
#include "framework/app.h"
#include "framework/graphics.h"
#include "game/music_player.h"
#include "support/picture_writer.h"
#include "support/window.h"
#include "support/wave_capture.h"

namespace {

// A window, the host that reads files and keeps the clock, and a player loaded as the game's
// render step loads it.
struct TunePlayer {
  NxGlfwGame host;
  GLFWwindow* window = OpenTestWindow(128, 128);
  gxtkGraphics* device = gc_new<gxtkGraphics>();
  c_JMPlayer* player = gc_new<c_JMPlayer>()->m_new();

  TunePlayer() {
    nx_app__game = &host;
    nx_graphics_Init();
    nx_graphics_SetGraphicsDevice(device);
    player->p_JM_Init(32, 4, 3, 3, 4);
  }
  ~TunePlayer() {
    nx_app__game = nullptr;
    if (window != nullptr) glfwDestroyWindow(window);
    glfwTerminate();
  }

  // Tune names are relative to the tune folder. False unless the loader finished and every
  // render ended with the loader's corner black.
  bool Load(const std::string& picture) {
    std::string name = std::filesystem::relative(picture, std::filesystem::absolute("data/tunes"));
    player->p_JM_StartTune(String(name.substr(0, name.size() - 4).c_str()), 37171650, 100);
    bool black = true;
    for (int render = 0; render < 30 && player->m_loadStep > 0; ++render) {
      device->BeginRender();
      nx_graphics_BeginRender();
      player->p_JM_Alive_R();
      Array<int> pixels(64 * 64);
      nx_graphics_ReadPixels(pixels, 0, 0, 64, 64, 0, 64);
      for (int i = 0; i < pixels.Length(); ++i) black = black && (pixels[i] & 0xffffff) == 0;
      nx_graphics_EndRender();
      device->EndRender();
    }
    return black && player->m_loadStep == 0;
  }
};

TEST(MusicTunes, PicturesDecodeToTheBlueOfEachPixelOverBlackAndSmallOnesCountAsMissing) {
  // A sheet of 8 x 8 frames in random colours at full, partial and no opacity. Band 2 never
  // rises above blue 7; band 1 is empty after frame 30 but for frame 63, which is never read.
  std::vector<unsigned char> rgba(512 * 512 * 4);
  uint32_t state = 12345;
  auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 24; };
  auto at = [&rgba](int frame, int cell) {
    int band = cell / 512, row = cell / 8 % 64, column = cell % 8;
    return &rgba[((frame / 8 * 64 + row) * 512 + frame % 8 * 64 + band * 8 + column) * 4];
  };
  for (int frame = 0; frame < 64; ++frame) {
    for (int cell = 0; cell < 4096; ++cell) {
      unsigned char* pixel = at(frame, cell);
      for (int channel = 0; channel < 3; ++channel) pixel[channel] = next();
      int opacity = next() % 3;
      pixel[3] = opacity == 0 ? 255 : opacity == 1 ? 0 : next();
      if (cell / 512 == 2) pixel[2] &= 7;
      if (cell / 512 == 1 && frame > 30 && frame != 63) pixel[3] = 0;
    }
  }
  std::string sheet = TempPath("sheet.png");
  std::string small = TempPath("small.png");
  ASSERT_NE(stbi_write_png(sheet.c_str(), 512, 512, 4, rgba.data(), 512 * 4), 0);
  ASSERT_NE(stbi_write_png(small.c_str(), 512, 448, 4, rgba.data(), 512 * 4), 0);

  TunePlayer tune;
  ASSERT_NE(tune.window, nullptr);
  c_JMPlayer* player = tune.player;
  EXPECT_TRUE(tune.Load(sheet));
  int mismatches = 0;
  int lastFrame[8] = {};
  for (int frame = 0; frame < 64; ++frame) {
    for (int cell = 0; cell < 4096; ++cell) {
      const unsigned char* pixel = at(frame, cell);
      int expected = frame < 63 ? pixel[2] * pixel[3] / 255 >> 3 : 0;
      if (expected != 0) lastFrame[cell / 512] = frame;
      mismatches += player->m_notes[frame * 4096 + cell] != expected;
    }
  }
  EXPECT_EQ(mismatches, 0);
  for (int band = 0; band < 8; ++band) EXPECT_EQ(player->m_lastFrame[band], lastFrame[band]);
  EXPECT_EQ(player->m_lastFrame[1], 30);
  EXPECT_EQ(player->m_lastFrame[2], 0);

  // Room for 56 frames only: no picture, the old cells stay, and every band counts as empty.
  int firstCell = player->m_notes[0];
  EXPECT_TRUE(tune.Load(small));
  EXPECT_EQ(player->m_tuneImage, nullptr);
  EXPECT_EQ(player->m_notes[0], firstCell);
  for (int band = 0; band < 5; ++band) EXPECT_EQ(player->m_lastFrame[band], 0);
  std::remove(sheet.c_str());
  std::remove(small.c_str());
}

TEST(MusicTunes, ShippedTunesSoundEveryHalfSecondWithoutClipping) {
  std::string capture = StartWaveCapture();
  TunePlayer tune;
  ASSERT_NE(tune.window, nullptr);
  nx_audio_Init();
  nx_audio_SetAudioDevice(gc_new<gxtkAudio>());
  ASSERT_NE(nx_audio_device->alcContext, nullptr);

  constexpr size_t HalfSecond = 44100 * 2 * 2 / 2;
  for (const char* name : {"Pasture Run/Tune_12", "Retro/Cave Digger", "Retro/PlumberEsque"}) {
    ASSERT_TRUE(tune.Load("data/tunes/" + std::string(name) + ".png"));
    size_t from = std::filesystem::file_size(capture);
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(3100);
    while (std::chrono::steady_clock::now() < end) {
      tune.player->p_JM_Alive_U(0, 1);
      std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    tune.player->p_JM_Stop(1);
    std::ifstream in(capture, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GE(bytes.size(), from + 6 * HalfSecond) << name;
    for (int half = 0; half < 6; ++half) {
      double sum = 0.0;
      int peak = 0;
      for (size_t i = from + half * HalfSecond; i < from + (half + 1) * HalfSecond; i += 2) {
        int sample = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
        sum += static_cast<double>(sample) * sample;
        peak = std::max(peak, std::abs(sample));
      }
      double rms = std::sqrt(sum / (HalfSecond / 2));
      EXPECT_GT(rms, 500.0) << name << " half " << half;
      EXPECT_LT(peak, 32767) << name << " half " << half;
    }
  }
  std::remove(TempPath("alsoft.conf").c_str());
  std::remove(capture.c_str());
}

}  // namespace
