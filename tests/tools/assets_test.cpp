// The committed data folder: a fresh run of the generator reproduces it byte for byte, every
// image loads at the frame sizes the game cuts it into, and every sound into a buffer the
// audio device can play.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "devices/audio.h"
#include "framework/audio.h"
#include "host/glfw_game.h"

namespace {

namespace fs = std::filesystem;

struct AssetImage {
  int width = 0, height = 0, depth = 0;
  std::vector<unsigned char> pixels;
  const unsigned char* At(int x, int y) const {
    return &pixels[(static_cast<size_t>(y) * width + x) * depth];
  }
};

struct AssetSound {
  int length = 0, channels = 0, format = 0, hertz = 0;
  std::vector<double> samples;  // -1..1, filled for 16-bit sounds
};

// The assets are read as a player's run reads them: through the host's loaders, by their game
// paths, from the data folder under the working directory.
NxGlfwGame assetHost;

String AssetPath(const std::string& name) {
  return String(("zarnik://data/" + name).c_str());
}

AssetImage LoadAssetImage(const std::string& name) {
  AssetImage image;
  unsigned char* data =
      assetHost.LoadImageData(AssetPath(name), &image.width, &image.height, &image.depth);
  if (data == nullptr) return image;
  image.pixels.assign(data, data + static_cast<size_t>(image.width) * image.height * image.depth);
  std::free(data);
  return image;
}

AssetSound LoadAssetSound(const std::string& name) {
  AssetSound sound;
  unsigned char* data = assetHost.LoadAudioData(AssetPath(name), &sound.length, &sound.channels,
                                                &sound.format, &sound.hertz);
  for (int i = 0; data != nullptr && sound.format == 2 && i < sound.length * sound.channels; ++i) {
    sound.samples.push_back(static_cast<int16_t>(data[2 * i] | data[2 * i + 1] << 8) / 32768.0);
  }
  std::free(data);
  return sound;
}

std::map<std::string, std::vector<unsigned char>> ReadTree(const fs::path& root) {
  std::map<std::string, std::vector<unsigned char>> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[fs::relative(entry.path(), root).generic_string()] =
        std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

// Mean alpha (0 to 1) of a block of pixels.
double Coverage(const AssetImage& image, int left, int top, int w, int h) {
  double sum = 0;
  for (int y = top; y < top + h; ++y) {
    for (int x = left; x < left + w; ++x) sum += image.At(x, y)[3];
  }
  return sum / (255.0 * w * h);
}

double PeakDb(std::vector<double>::const_iterator from, std::vector<double>::const_iterator to) {
  double peak = 1e-9;
  for (auto it = from; it != to; ++it) peak = std::max(peak, std::fabs(*it));
  return 20.0 * std::log10(peak);
}

TEST(Assets, RegeneratingReproducesTheDataFolderExactly) {
  const fs::path out = fs::temp_directory_path() / ("vexadrome_assets_" + std::to_string(getpid()));
  fs::remove_all(out);
  const std::string command =
      std::string(VEXADROME_BINARY_DIR) + "/tools/vexadrome_assets " + out.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const auto generated = ReadTree(out);
  const auto committed = ReadTree(fs::path(VEXADROME_SOURCE_DIR) / "data");
  fs::remove_all(out);
  ASSERT_FALSE(generated.empty());
  EXPECT_TRUE(generated == committed) << "data/ differs from what the generator writes";
}

// Each resolution is drawn on its own: every frame the game cuts must be there, in the same
// place with the same coverage at every resolution, and not empty where the game shows it.
TEST(Assets, EveryImageLoadsWithItsFramesInPlaceAtEveryResolution) {
  struct Slot {
    const char* base;
    int width, height, frames;  // base-resolution pixels, as the game asks for them
    std::vector<int> shown;     // frames the game draws; all when empty
  };
  const Slot slots[] = {{"gfx", 16, 16, 16, {0, 1, 2, 3, 4, 5, 6}},
                        {"BadgesA", 64, 64, 64, {0}},
                        {"fonts/pixelkit", 16, 16, 128, {1, 33, 65, 94}},
                        {"common/Testcard_Circle", 256, 256, 1, {}},
                        {"common/KOBULogo", 256, 256, 1, {}},
                        {"common/dpad", 32, 32, 16, {0, 1, 4, 5, 6, 9}},
                        {"common/Buttons", 64, 64, 16, {0, 1, 2, 8, 9, 10}},
                        {"parts", 8, 8, 256, {}},
                        {"common/icons", 32, 32, 16, {0, 1, 3, 6, 7, 10}},
                        {"logo", 256, 128, 1, {}},
                        {"menu", 256, 256, 4, {0}}};
  for (const Slot& slot : slots) {
    AssetImage base;
    for (const auto& [scale, suffix] : {std::pair{1, ""}, {2, "-hd"}, {4, "-hd2"}}) {
      const std::string path = std::string(slot.base) + suffix + ".png";
      const AssetImage image = LoadAssetImage(path);
      ASSERT_TRUE(!image.pixels.empty() && image.depth == 4) << path;
      if (scale == 1) base = image;
      const int w = slot.width * scale, h = slot.height * scale, columns = image.width / w;
      ASSERT_TRUE(image.width % w == 0 && image.height % h == 0) << path;
      ASSERT_GE(columns * (image.height / h), slot.frames) << path;
      for (int frame = 0; frame < slot.frames; ++frame) {
        const int x = frame % columns * slot.width, y = frame / columns * slot.height;
        const double covered = Coverage(image, x * scale, y * scale, w, h);
        const bool shown =
            slot.shown.empty() || std::count(slot.shown.begin(), slot.shown.end(), frame) == 1;
        if (shown) {
          EXPECT_GT(covered, 0.0) << path << " frame " << frame;
        }
        EXPECT_NEAR(covered, Coverage(base, x, y, slot.width, slot.height), 0.05)
            << path << " frame " << frame;
      }
    }
  }
  // The menu's first frame fills the screen behind everything, so it must have no holes.
  EXPECT_DOUBLE_EQ(Coverage(LoadAssetImage("menu.png"), 0, 0, 256, 256), 1.0);
}

// 16-bit mono at the generator's rate, loud but unclipped and without DC, every byte in an
// OpenAL buffer. One-shots start and end in silence so they never click; a loop's join from
// its last sample to its first is as smooth as any step inside it.
TEST(Assets, EverySoundLoadsCleanIntoAPlayableSample) {
  setenv("ALSOFT_DRIVERS", "null", 1);
  nx_audio_Init();
  gxtkAudio* device = gc_new<gxtkAudio>();
  nx_audio_SetAudioDevice(device);
  ASSERT_NE(device->alcContext, nullptr);
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator("data")) {
    if (entry.path().extension() == ".wav") names.push_back(fs::relative(entry.path(), "data"));
  }
  ASSERT_EQ(names.size(), 15u + 32u + 10u);
  for (const std::string& name : names) {
    const AssetSound sound = LoadAssetSound(name);
    const std::vector<double>& s = sound.samples;
    ASSERT_TRUE(sound.format == 2 && sound.channels == 1 && sound.hertz == 22050) << name;
    ASSERT_GT(s.size(), 200u) << name;
    EXPECT_TRUE(PeakDb(s.begin(), s.end()) >= -6.0 && PeakDb(s.begin(), s.end()) <= -1.0) << name;
    double sum = 0.0;
    for (double value : s) sum += value;
    EXPECT_LT(std::fabs(sum / static_cast<double>(s.size())), 0.001) << name;
    const size_t n = s.size();
    if (name.rfind("inst/", 0) == 0 && name.rfind("inst/d", 0) != 0) {
      double roughest = 0.0;
      for (size_t at = 1; at + 1 < n; ++at) {
        roughest = std::max(roughest, std::fabs(s[at + 1] - 2.0 * s[at] + s[at - 1]));
      }
      const double seam = std::max(std::fabs(s[0] - 2.0 * s[n - 1] + s[n - 2]),
                                   std::fabs(s[1] - 2.0 * s[0] + s[n - 1]));
      EXPECT_LE(seam, roughest * 1.05 + 2.0 / 32768.0) << name;
    } else {
      // Only the jingle (effect 96) may run past a second and a half.
      EXPECT_LT(static_cast<double>(n) / 22050, name == "sfx/096.wav" ? 2.0 : 1.5) << name;
      EXPECT_TRUE(s.front() == 0.0 && s.back() == 0.0) << name;
      EXPECT_LT(PeakDb(s.begin(), s.begin() + 11), -20.0) << name;
      EXPECT_LT(PeakDb(s.end() - 22, s.end()), -20.0) << name;
    }
    gxtkSample* sample = device->LoadSample(AssetPath(name));
    ASSERT_TRUE(sample != nullptr && sample->al_buffer != 0u) << name;
    ALint size = 0;
    alGetBufferi(sample->al_buffer, AL_SIZE, &size);
    EXPECT_EQ(size, sound.length * 2) << name;
  }
}

}  // namespace
