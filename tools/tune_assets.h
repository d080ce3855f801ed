// The game's three tunes: their composition as tracker cells, and the tune-picture encoding
// that stores one cell value (0..31) in the blue channel of one pixel.
#pragma once

#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Types

// Cell values of a whole tune, indexed as the music player indexes its decoded cells:
// frame * 4096 + band * 512 + row * 8 + column. Only the 63 frames the player reads are used.
using TuneCells = std::vector<int>;

struct TuneAsset {
  std::string name;  // as the game starts it, e.g. "Retro/Cave Digger"
  TuneCells cells;
};

// ---------------------------------------------------------------------------------------------
// Globals

constexpr int kTuneFrames = 64;
constexpr int kTuneBands = 8;
constexpr int kTuneRows = 64;
constexpr int kTuneColumns = 8;
constexpr int kTuneFrameCells = kTuneBands * kTuneRows * kTuneColumns;
constexpr int kTunePictureWidth = kTuneFrames * 64;
constexpr int kTunePictureHeight = 64;

// ---------------------------------------------------------------------------------------------
// Public functions

int TuneCellIndex(int frame, int band, int row, int column);
std::vector<TuneAsset> ComposeTunes();
// A 4096 x 64 RGBA strip of 64 frames, opaque, cell value n stored as blue 8n + 4.
std::vector<unsigned char> EncodeTunePicture(const TuneCells& cells);
