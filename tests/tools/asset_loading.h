// The committed assets read the way a player's run reads them: through the host's image and
// sound loaders, by their game paths, from the data folder under the working directory.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/glfw_game.h"

struct AssetImage {
  int width = 0, height = 0, depth = 0;
  std::vector<unsigned char> pixels;
  bool Loaded() const { return !pixels.empty(); }
  const unsigned char* At(int x, int y) const {
    return &pixels[(static_cast<size_t>(y) * width + x) * depth];
  }
};

struct AssetSound {
  int length = 0, channels = 0, format = 0, hertz = 0;
  std::vector<double> samples;  // -1..1, filled for 16-bit sounds
  bool Loaded() const { return hertz > 0; }
};

// The loaders are host methods; one host without a window serves every load.
inline NxGlfwGame& AssetHost() {
  static NxGlfwGame host;
  return host;
}

inline String AssetPath(const std::string& name) {
  return String(("zarnik://data/" + name).c_str());
}

inline AssetImage LoadAssetImage(const std::string& name) {
  AssetImage image;
  unsigned char* data =
      AssetHost().LoadImageData(AssetPath(name), &image.width, &image.height, &image.depth);
  if (data == nullptr) return AssetImage{};
  image.pixels.assign(data, data + static_cast<size_t>(image.width) * image.height * image.depth);
  std::free(data);
  return image;
}

inline AssetSound LoadAssetSound(const std::string& name) {
  AssetSound sound;
  unsigned char* data = AssetHost().LoadAudioData(AssetPath(name), &sound.length, &sound.channels,
                                                  &sound.format, &sound.hertz);
  if (data == nullptr) return AssetSound{};
  if (sound.format == 2) {
    const size_t count = static_cast<size_t>(sound.length) * sound.channels;
    for (size_t i = 0; i < count; ++i) {
      const auto value = static_cast<int16_t>(data[2 * i] | data[2 * i + 1] << 8);
      sound.samples.push_back(value / 32768.0);
    }
  }
  std::free(data);
  return sound;
}
