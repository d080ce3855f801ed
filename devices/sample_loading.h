// Sound files into interleaved PCM: the RIFF/WAVE reader, the Ogg Vorbis decoder front end
// and the little-endian readers they share. The host's LoadAudioData picks one by extension.
#pragma once

// <cstdio> for the FILE handles every reader takes.
#include <cstdio>

// ---------------------------------------------------------------------------------------------
// Globals

// Largest PCM block any loader hands out; a header asking for more is refused (WAVE) or the
// decode stops there (Ogg Vorbis), so a hostile file cannot demand a huge allocation.
constexpr int nx_sample_max_bytes = 256 * 1024 * 1024;
// Largest Ogg Vorbis file the decoder is given at all.
constexpr long nx_sample_max_ogg_file_bytes = 64L * 1024 * 1024;

// ---------------------------------------------------------------------------------------------
// Functions

// The next 2 bytes as an unsigned little-endian value, or -1 if they cannot be read.
int readShort(FILE* file);
// The next 4 bytes as a signed little-endian value, or -1 if they cannot be read.
int readInt(FILE* file);

// Each returns a malloc'd block of `length` frames of `channels` interleaved samples of
// `format` bytes at `hertz`, or null (the out-values then mean nothing). The caller frees
// the block with free(). The file is read from its current position and left open.
unsigned char* LoadWAV(FILE* file, int* length, int* channels, int* format, int* hertz);
unsigned char* LoadOGG(FILE* file, int* length, int* channels, int* format, int* hertz);
