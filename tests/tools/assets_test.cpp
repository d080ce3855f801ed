// The committed data folder against the asset generator: a fresh run reproduces it byte for
// byte, and every image the game loads comes through the host's loader at the frame sizes and
// counts the game cuts it into.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "asset_loading.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

struct Slot {
  const char* base;
  int width, height, frames;  // base-resolution pixels, as the game asks for them
};

// ---------------------------------------------------------------------------------------------
// Globals

namespace fs = std::filesystem;

const Slot kSlots[] = {
    {"gfx", 16, 16, 16},
    {"BadgesA", 64, 64, 64},
    {"fonts/pixelkit", 16, 16, 128},
    {"common/Testcard_Circle", 256, 256, 1},
    {"common/KOBULogo", 256, 256, 1},
    {"common/dpad", 32, 32, 16},
    {"common/Buttons", 64, 64, 16},
    {"parts", 8, 8, 256},
    {"common/icons", 32, 32, 16},
    {"logo", 256, 128, 1},
    {"menu", 256, 256, 4},
};

struct Level {
  int scale;
  const char* suffix;
};
const Level kLevels[] = {{1, ""}, {2, "-hd"}, {4, "-hd2"}};

// ---------------------------------------------------------------------------------------------
// Internal functions

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

// Every sheet is premultiplied and blended by its alpha, so one without it counts as missing.
AssetImage Load(const std::string& name) {
  AssetImage image = LoadAssetImage(name);
  return image.depth == 4 ? image : AssetImage{};
}

// Frame `frame` of a sheet cut row by row into frames of w x h file pixels, as the image
// loader grabs them.
std::pair<int, int> FrameOrigin(const AssetImage& image, int w, int h, int frame) {
  const int columns = image.width / w;
  return {(frame % columns) * w, (frame / columns) * h};
}

// Mean alpha (0 to 1) of a block of pixels.
double Coverage(const AssetImage& image, int left, int top, int w, int h) {
  double sum = 0;
  for (int y = top; y < top + h; ++y) {
    for (int x = left; x < left + w; ++x) sum += image.At(x, y)[3];
  }
  return sum / (255.0 * w * h);
}

std::string PathOf(const Slot& slot, const Level& level) {
  return std::string(slot.base) + level.suffix + ".png";
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Tests

TEST(AssetsTest, RegeneratingReproducesTheDataFolderExactly) {
  const fs::path out = fs::temp_directory_path() / ("vexadrome_assets_" + std::to_string(getpid()));
  fs::remove_all(out);
  const std::string command =
      std::string(VEXADROME_BINARY_DIR) + "/tools/vexadrome_assets " + out.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const auto generated = ReadTree(out);
  const auto committed = ReadTree(fs::path(VEXADROME_SOURCE_DIR) / "data");
  fs::remove_all(out);
  ASSERT_FALSE(generated.empty());
  for (const auto& [name, bytes] : generated) {
    EXPECT_TRUE(committed.count(name) == 1 && committed.at(name) == bytes)
        << name << " is missing from data/ or differs from the committed file";
  }
  for (const auto& [name, bytes] : committed) {
    EXPECT_TRUE(generated.count(name) == 1) << name << " is in data/ but no longer generated";
  }
}

// Each resolution is drawn on its own; the coverage comparison catches a frame that lands in
// the wrong place, at the wrong size or not at all in one of them.
TEST(AssetsTest, EverySlotLoadsWithItsFramesInTheSamePlacesAtEveryResolution) {
  for (const Slot& slot : kSlots) {
    const AssetImage base = Load(PathOf(slot, kLevels[0]));
    for (const Level& level : kLevels) {
      const std::string path = PathOf(slot, level);
      const AssetImage image = Load(path);
      ASSERT_TRUE(image.Loaded()) << path;
      const int w = slot.width * level.scale;
      const int h = slot.height * level.scale;
      ASSERT_EQ(image.width % w, 0) << path;
      ASSERT_EQ(image.height % h, 0) << path;
      ASSERT_GE((image.width / w) * (image.height / h), slot.frames) << path;
      // Tiny frames are compared whole: a quarter of an 8-pixel spark is too coarse to judge.
      const int parts = slot.width >= 16 ? 4 : 1;
      const int part_w = slot.width / parts;
      const int part_h = slot.height / parts;
      for (int frame = 0; frame < slot.frames && level.scale > 1; ++frame) {
        const auto [bx, by] = FrameOrigin(base, slot.width, slot.height, frame);
        const auto [lx, ly] = FrameOrigin(image, w, h, frame);
        for (int part = 0; part < parts * parts; ++part) {
          const int qx = part % parts, qy = part / parts;
          EXPECT_NEAR(
              Coverage(base, bx + qx * part_w, by + qy * part_h, part_w, part_h),
              Coverage(image, lx + qx * part_w * level.scale, ly + qy * part_h * level.scale,
                       part_w * level.scale, part_h * level.scale),
              0.12)
              << path << " frame " << frame << " part " << qx << "," << qy;
        }
      }
    }
  }
}

TEST(AssetsTest, EveryFrameTheGameShowsIsDrawn) {
  const std::map<std::string, std::vector<int>> shown = {
      {"gfx", {0, 1, 2, 3, 4, 5, 6}},
      {"common/icons", {0, 1, 3, 6, 7, 10}},
      {"common/Buttons", {0, 1, 2, 8, 9, 10}},
      {"common/dpad", {0, 1, 4, 5, 6, 9}},
      {"BadgesA", {0}},
      {"menu", {0}},
      {"logo", {0}},
      {"common/KOBULogo", {0}},
      {"common/Testcard_Circle", {0}},
  };
  for (const Slot& slot : kSlots) {
    const AssetImage image = Load(PathOf(slot, kLevels[0]));
    ASSERT_TRUE(image.Loaded());
    std::vector<int> frames;
    const auto listed = shown.find(slot.base);
    if (listed != shown.end()) frames = listed->second;
    if (std::string(slot.base) == "parts") {
      for (int i = 0; i < 256; ++i) frames.push_back(i);
    }
    if (std::string(slot.base) == "fonts/pixelkit") {
      for (int code = 33; code <= 126; ++code) frames.push_back(code - 32);
    }
    for (int frame : frames) {
      const auto [x, y] = FrameOrigin(image, slot.width, slot.height, frame);
      EXPECT_GT(Coverage(image, x, y, slot.width, slot.height), 0.0)
          << slot.base << " frame " << frame << " is empty";
    }
  }
  // The menu's first frame fills the screen behind everything, so it must have no holes.
  const AssetImage menu = Load("menu.png");
  EXPECT_DOUBLE_EQ(Coverage(menu, 0, 0, 256, 256), 1.0);
}

// The font is tinted by the draw colour and magnified by whole pixels, so every pixel must
// be either clear or opaque white, and the larger files must be exact enlargements.
TEST(AssetsTest, FontIsCrispWhitePixelArtAtEveryResolution) {
  const AssetImage base = Load("fonts/pixelkit.png");
  ASSERT_TRUE(base.Loaded());
  for (const Level& level : kLevels) {
    const AssetImage image = Load(std::string("fonts/pixelkit") + level.suffix + ".png");
    ASSERT_EQ(image.width, base.width * level.scale);
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        const unsigned char* pixel = image.At(x, y);
        const unsigned char* source = base.At(x / level.scale, y / level.scale);
        ASSERT_TRUE(pixel[3] == 0 || pixel[3] == 255) << level.suffix << " " << x << "," << y;
        ASSERT_EQ(pixel[3], source[3]) << level.suffix << " " << x << "," << y;
        if (pixel[3] == 255) {
          ASSERT_EQ(pixel[0] + pixel[1] + pixel[2], 765) << level.suffix << " " << x << "," << y;
        }
      }
    }
  }
}

// The default font is cut with one pad column either side of each glyph; anything drawn
// there would be cut off.
TEST(AssetsTest, DefaultFontStripKeepsItsPadColumnsClear) {
  const AssetImage strip = Load("tovu_font.png");
  ASSERT_TRUE(strip.Loaded());
  ASSERT_EQ(strip.width % 96, 0);
  const int frame = strip.width / 96;
  ASSERT_GT(frame, 2);
  for (int i = 0; i < 96; ++i) {
    EXPECT_EQ(Coverage(strip, i * frame, 0, 1, strip.height), 0.0) << "frame " << i;
    EXPECT_EQ(Coverage(strip, i * frame + frame - 1, 0, 1, strip.height), 0.0) << "frame " << i;
    if (i >= 1 && i <= 94) {
      EXPECT_GT(Coverage(strip, i * frame + 1, 0, frame - 2, strip.height), 0.0) << "frame " << i;
    }
  }
}

// Edges are antialiased without darkening: a pixel on the rim of a white spark is a
// translucent white, not a grey, so premultiplying at load time leaves no dark fringe.
TEST(AssetsTest, TranslucentEdgesKeepTheirFullColour) {
  for (const Level& level : kLevels) {
    const AssetImage parts = Load(std::string("parts") + level.suffix + ".png");
    ASSERT_TRUE(parts.Loaded());
    int translucent = 0;
    for (int y = 0; y < parts.height; ++y) {
      for (int x = 0; x < parts.width; ++x) {
        const unsigned char* pixel = parts.At(x, y);
        if (pixel[3] == 0) continue;
        if (pixel[3] < 255) ++translucent;
        ASSERT_GE(pixel[0], 150) << level.suffix << " " << x << "," << y;
      }
    }
    EXPECT_GT(translucent, 0) << "the sparks should have soft edges";
  }
}
