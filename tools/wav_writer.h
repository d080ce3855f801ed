// Writes mono 16-bit PCM WAVE files for the asset generator, in the plain layout the game's
// reader expects: "RIFF", "WAVE", a 16-byte "fmt " chunk first, then "data".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Public functions

// Missing parent folders are created. A failure to write is fatal: the generator prints the
// path and exits, so a half-written asset set is never taken for a good one.
void WriteWavFile(const std::string& path, int sampleRate, const std::vector<int16_t>& samples);
