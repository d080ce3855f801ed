// The image sheets: which artist draws them, how their frames are laid out, at which
// resolutions they are written, and the review pictures.

// <algorithm> for std::max in the contact sheet layout.
#include "tools/image_assets.h"

#include <algorithm>
#include <vector>

#include "tools/art.h"
#include "tools/pixel_font.h"
#include "tools/png_writer.h"
#include "tools/raster.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

struct SheetLayout {
  const char* base;  // file name under the data folder, without resolution suffix or ".png"
  int frameWidth;    // design pixels, padding included
  int frameHeight;
  int frames;
  int columns;       // frames are read row by row, `columns` to a row
  bool resolutions;  // false: only the base file, no "-hd" / "-hd2" variants
  FrameArtist artist;
};

struct Picture {
  std::string name;
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;
};

// ---------------------------------------------------------------------------------------------
// Globals

const SheetLayout kSheets[] = {
    {"gfx", 16, 16, 16, 4, true, DrawItemFrame},
    {"fonts/pixelkit", kFontCellSize, kFontCellSize, 128, 16, true, DrawFontCell},
    {"parts", 8, 8, 256, 16, true, DrawSparkFrame},
    {"common/icons", 32, 32, 16, 4, true, DrawIconFrame},
    {"common/Buttons", 64, 64, 16, 4, true, DrawButtonFrame},
    {"common/dpad", 32, 32, 16, 4, true, DrawDpadFrame},
    {"menu", 256, 256, 4, 2, true, DrawMenuFrame},
    {"logo", 256, 128, 1, 1, true, DrawLogoFrame},
    {"common/KOBULogo", 256, 256, 1, 1, true, DrawStudioFrame},
    {"common/Testcard_Circle", 256, 256, 1, 1, true, DrawTestCardFrame},
    {"BadgesA", 64, 64, 64, 8, true, DrawBadgeFrame},
    {"tovu_font", kDefaultFontWidth + 2, kDefaultFontHeight, kDefaultFontFrames, kDefaultFontFrames,
     false, DrawDefaultFontFrame},
};

struct Resolution {
  int level;
  const char* suffix;
};
const Resolution kResolutions[] = {{1, ""}, {2, "-hd"}, {4, "-hd2"}};

// The contact overview shows the base files at twice their size on a checkerboard.
constexpr int kContactZoom = 2;
constexpr int kContactWidth = 1100;
constexpr int kContactGap = 12;

// ---------------------------------------------------------------------------------------------
// Internal functions

Picture DrawSheet(const SheetLayout& sheet, const Resolution& resolution) {
  const int level = resolution.level;
  const int frame_width = sheet.frameWidth * level;
  const int frame_height = sheet.frameHeight * level;
  const int rows = (sheet.frames + sheet.columns - 1) / sheet.columns;
  Picture picture;
  picture.name = std::string(sheet.base) + resolution.suffix;
  picture.width = frame_width * sheet.columns;
  picture.height = frame_height * rows;
  picture.rgba.assign(static_cast<size_t>(picture.width) * picture.height * 4, 0);
  for (int frame = 0; frame < sheet.frames; ++frame) {
    Canvas canvas(frame_width, frame_height, level);
    sheet.artist(canvas, frame);
    const std::vector<unsigned char> pixels = canvas.ToRgba();
    const int left = (frame % sheet.columns) * frame_width;
    const int top = (frame / sheet.columns) * frame_height;
    for (int y = 0; y < frame_height; ++y) {
      std::copy(pixels.begin() + static_cast<size_t>(y) * frame_width * 4,
                pixels.begin() + static_cast<size_t>(y + 1) * frame_width * 4,
                picture.rgba.begin() + (static_cast<size_t>(top + y) * picture.width + left) * 4);
    }
  }
  return picture;
}

// The picture over a grey checkerboard, enlarged by whole pixels, so that both the
// transparent parts and the edges can be judged.
Picture OnCheckerboard(const Picture& picture, int zoom) {
  Picture result;
  result.name = picture.name;
  result.width = picture.width * zoom;
  result.height = picture.height * zoom;
  result.rgba.resize(static_cast<size_t>(result.width) * result.height * 4);
  for (int y = 0; y < result.height; ++y) {
    for (int x = 0; x < result.width; ++x) {
      const unsigned char* source =
          &picture.rgba[(static_cast<size_t>(y / zoom) * picture.width + x / zoom) * 4];
      const int back = ((x / 8 + y / 8) % 2 == 0) ? 70 : 100;
      unsigned char* target = &result.rgba[(static_cast<size_t>(y) * result.width + x) * 4];
      for (int c = 0; c < 3; ++c) {
        target[c] =
            static_cast<unsigned char>((source[c] * source[3] + back * (255 - source[3])) / 255);
      }
      target[3] = 255;
    }
  }
  return result;
}

void WriteContactSheets(const std::vector<Picture>& pictures, const std::string& folder) {
  std::vector<Picture> tiles;
  for (const Picture& picture : pictures) {
    Picture tile = OnCheckerboard(picture, 1);
    std::string file = picture.name;
    std::replace(file.begin(), file.end(), '/', '_');
    WritePngFile(folder + "/" + file + ".png", tile.width, tile.height, tile.rgba);
    if (picture.name.find("-hd") == std::string::npos) {
      tiles.push_back(
          OnCheckerboard(picture, picture.width > kContactWidth / 2 ? 1 : kContactZoom));
    }
  }
  // Shelf packing of the base-resolution sheets into one overview.
  int x = kContactGap, y = kContactGap, shelf = 0;
  std::vector<std::pair<int, int>> places;
  for (const Picture& tile : tiles) {
    if (x + tile.width + kContactGap > kContactWidth && x > kContactGap) {
      x = kContactGap;
      y += shelf + kContactGap;
      shelf = 0;
    }
    places.emplace_back(x, y);
    x += tile.width + kContactGap;
    shelf = std::max(shelf, tile.height);
  }
  const int height = y + shelf + kContactGap;
  std::vector<unsigned char> overview(static_cast<size_t>(kContactWidth) * height * 4, 32);
  for (size_t i = 3; i < overview.size(); i += 4) overview[i] = 255;
  for (size_t t = 0; t < tiles.size(); ++t) {
    const Picture& tile = tiles[t];
    for (int row = 0; row < tile.height; ++row) {
      const int target_x = places[t].first;
      const int target_y = places[t].second + row;
      const int width = std::min(tile.width, kContactWidth - target_x);
      std::copy(tile.rgba.begin() + static_cast<size_t>(row) * tile.width * 4,
                tile.rgba.begin() + (static_cast<size_t>(row) * tile.width + width) * 4,
                overview.begin() + (static_cast<size_t>(target_y) * kContactWidth + target_x) * 4);
    }
  }
  WritePngFile(folder + "/contact.png", kContactWidth, height, overview);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

void GenerateImageAssets(const std::string& folder, const std::string& contactFolder) {
  std::vector<Picture> pictures;
  for (const SheetLayout& sheet : kSheets) {
    for (const Resolution& resolution : kResolutions) {
      if (!sheet.resolutions && resolution.level != 1) continue;
      Picture picture = DrawSheet(sheet, resolution);
      WritePngFile(folder + "/" + picture.name + ".png", picture.width, picture.height,
                   picture.rgba);
      if (!contactFolder.empty()) pictures.push_back(std::move(picture));
    }
  }
  if (!contactFolder.empty()) WriteContactSheets(pictures, contactFolder);
}
