// Per-process temporary files, and OpenAL Soft's wave backend switched on so that what the
// audio device plays is written to a file the test can measure.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

// ---------------------------------------------------------------------------------------------
// Public functions

// A path under /tmp that no other test process uses.
inline std::string TempPath(const std::string& name) {
  return "/tmp/vexadrome-" + std::to_string(getpid()) + "-" + name;
}

// Points the next audio device at the wave backend, 44.1 kHz stereo 16-bit with no dither;
// returns the path of the capture it will write.
inline std::string StartWaveCapture() {
  std::string capture = TempPath("capture.wav");
  std::string config = TempPath("alsoft.conf");
  std::ofstream(config) << "[general]\nsample-type = int16\nchannels = stereo\ndither = false\n"
                        << "frequency = 44100\n[wave]\nfile = " << capture << "\n";
  setenv("ALSOFT_CONF", config.c_str(), 1);
  setenv("ALSOFT_DRIVERS", "wave", 1);
  return capture;
}
