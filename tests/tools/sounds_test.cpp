// The committed sound assets as the host loads them: level, DC, edges and length of every
// one-shot, seamless and in-tune loops, samples the audio device can play, and tune pictures
// that decode to the composed cells.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "asset_loading.h"
#include "devices/audio.h"
#include "framework/audio.h"
#include "tools/tune_assets.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

const int kEffects[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 95, 96, 98, 99};
const char* const kTonal[] = {"lead1",      "lead2", "lead3", "accompany1", "accompany2",
                              "accompany3", "bass1", "bass2", "bass3",      "bass4"};

// ---------------------------------------------------------------------------------------------
// Internal functions

double PeakDb(const std::vector<double>& samples) {
  double peak = 0.0;
  for (double value : samples) peak = std::max(peak, std::fabs(value));
  return 20.0 * std::log10(std::max(peak, 1e-9));
}

double Mean(const std::vector<double>& samples) {
  double sum = 0.0;
  for (double value : samples) sum += value;
  return samples.empty() ? 0.0 : sum / static_cast<double>(samples.size());
}

// Amplitude of the component that runs `cycles` whole cycles over the samples.
double Component(const std::vector<double>& samples, double cycles) {
  double re = 0.0, im = 0.0;
  const double step = 2.0 * M_PI * cycles / static_cast<double>(samples.size());
  for (size_t i = 0; i < samples.size(); ++i) {
    re += samples[i] * std::cos(step * static_cast<double>(i));
    im += samples[i] * std::sin(step * static_cast<double>(i));
  }
  return 2.0 * std::hypot(re, im) / static_cast<double>(samples.size());
}

// The device buffers what the loader returns as it is: 16-bit mono at the generator's rate.
void ExpectFormat(const AssetSound& sound, const std::string& name) {
  ASSERT_TRUE(sound.Loaded()) << name;
  EXPECT_EQ(sound.format, 2) << name;
  EXPECT_EQ(sound.channels, 1) << name;
  EXPECT_EQ(sound.hertz, 22050) << name;
  EXPECT_GT(sound.length, 0) << name;
}

void ExpectLevelAndDc(const AssetSound& wave, const std::string& name) {
  const double peak = PeakDb(wave.samples);
  EXPECT_GE(peak, -6.0) << name;
  EXPECT_LE(peak, -1.0) << name;
  EXPECT_LT(std::fabs(Mean(wave.samples)), 0.001) << name;
}

// Silent first and last sample, and no more than a whisper in the first and last millisecond,
// so starting or cutting the sound never clicks.
void ExpectOneShot(const AssetSound& wave, const std::string& name, double longest) {
  ExpectFormat(wave, name);
  if (wave.samples.size() < 100) return ADD_FAILURE() << name << " is empty";
  ExpectLevelAndDc(wave, name);
  const double seconds = static_cast<double>(wave.samples.size()) / wave.hertz;
  EXPECT_LT(seconds, longest) << name;
  EXPECT_EQ(wave.samples.front(), 0.0) << name;
  EXPECT_EQ(wave.samples.back(), 0.0) << name;
  const size_t edge = static_cast<size_t>(wave.hertz / 1000);
  const std::vector<double> head(wave.samples.begin(), wave.samples.begin() + edge / 2);
  const std::vector<double> tail(wave.samples.end() - edge, wave.samples.end());
  EXPECT_LT(PeakDb(head), -20.0) << name;
  EXPECT_LT(PeakDb(tail), -20.0) << name;
}

std::string EffectName(int number) {
  char name[16];
  std::snprintf(name, sizeof name, "sfx/%03d.wav", number);
  return name;
}

std::string DrumName(int kit, int drum) {
  return "inst/d" + std::to_string(kit) + "-" + std::to_string(drum) + ".wav";
}

std::vector<std::string> EverySound() {
  std::vector<std::string> names;
  for (int number : kEffects) names.push_back(EffectName(number));
  for (int kit = 1; kit <= 4; ++kit) {
    for (int drum = 1; drum <= 8; ++drum) names.push_back(DrumName(kit, drum));
  }
  for (const char* tonal : kTonal) names.push_back(std::string("inst/") + tonal + ".wav");
  return names;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Tests

// Only the jingle (effect 96) may run past a second and a half, and it lasts a full second.
TEST(SoundAssets, EffectsAndDrumsAreCleanShortOneShots) {
  for (const std::string& name : EverySound()) {
    if (name.rfind("inst/", 0) == 0 && name.rfind("inst/d", 0) != 0) continue;
    const AssetSound wave = LoadAssetSound(name);
    const bool jingle = name == EffectName(96);
    ExpectOneShot(wave, name, jingle ? 2.0 : 1.5);
    if (jingle) {
      EXPECT_GE(wave.samples.size(), 22050u);
    }
  }
}

// The player loops the whole sample and plays note 13 at rate 1.0, so the sample must be whole
// periods of its pitch, and the join from last sample back to the first must be as smooth as
// any step inside it.
TEST(SoundAssets, TonalLoopsAreSeamlessAndAtTheirNotePitch) {
  const double pitches[] = {523.2511, 523.2511, 523.2511, 261.6256, 261.6256,
                            261.6256, 130.8128, 130.8128, 130.8128, 130.8128};
  for (size_t i = 0; i < std::size(kTonal); ++i) {
    const std::string name = std::string("inst/") + kTonal[i] + ".wav";
    const AssetSound wave = LoadAssetSound(name);
    ExpectFormat(wave, name);
    const std::vector<double>& s = wave.samples;
    ASSERT_GT(s.size(), 1000u) << name;
    ExpectLevelAndDc(wave, name);

    double roughest = 0.0;
    for (size_t at = 1; at + 1 < s.size(); ++at) {
      roughest = std::max(roughest, std::fabs(s[at + 1] - 2.0 * s[at] + s[at - 1]));
    }
    const size_t n = s.size();
    const double seamFirst = std::fabs(s[0] - 2.0 * s[n - 1] + s[n - 2]);
    const double seamSecond = std::fabs(s[1] - 2.0 * s[0] + s[n - 1]);
    EXPECT_LE(std::max(seamFirst, seamSecond), roughest * 1.05 + 2.0 / 32768.0) << name;

    const double cycles = pitches[i] * static_cast<double>(n) / wave.hertz;
    const double atPitch = Component(s, std::round(cycles));
    EXPECT_NEAR(std::round(cycles), cycles, 0.05) << name << " is not whole periods";
    EXPECT_GT(atPitch, 10.0 * Component(s, std::round(cycles * std::pow(2.0, 1.0 / 12)))) << name;
    EXPECT_GT(atPitch, 10.0 * Component(s, std::round(cycles / std::pow(2.0, 1.0 / 12)))) << name;
  }
}

// The whole path a sound effect takes: the host's loader, then an OpenAL buffer of every byte.
TEST(SoundAssets, EverySoundLoadsIntoAPlayableSample) {
  setenv("ALSOFT_DRIVERS", "null", 1);
  nx_audio_Init();
  gxtkAudio* device = gc_new<gxtkAudio>();
  nx_audio_SetAudioDevice(device);
  ASSERT_NE(device->alcContext, nullptr);
  for (const std::string& name : EverySound()) {
    const AssetSound sound = LoadAssetSound(name);
    gxtkSample* sample = device->LoadSample(AssetPath(name));
    ASSERT_NE(sample, nullptr) << name;
    ASSERT_NE(sample->al_buffer, 0u) << name;
    ALint size = 0;
    alGetBufferi(sample->al_buffer, AL_SIZE, &size);
    EXPECT_EQ(size, sound.length * 2) << name;
  }
}

TEST(SoundAssets, TunePicturesDecodeToTheComposedCells) {
  for (const TuneAsset& tune : ComposeTunes()) {
    const AssetImage picture = LoadAssetImage("tunes/" + tune.name + ".png");
    ASSERT_TRUE(picture.Loaded()) << tune.name;
    ASSERT_EQ(picture.depth, 4) << tune.name;
    EXPECT_EQ(picture.width, kTunePictureWidth);
    EXPECT_EQ(picture.height, kTunePictureHeight);
    EXPECT_TRUE(DecodeTunePicture(picture.pixels, picture.width, picture.height) == tune.cells)
        << tune.name;
  }
}

TEST(SoundAssets, DecodingReadsBlueOverBlackForStripAndSheet) {
  std::vector<unsigned char> sheet(512 * 512 * 4, 0);
  auto pixel = [&](int frame, int band, int row, int column) {
    const int x = (frame % 8) * 64 + band * 8 + column, y = (frame / 8) * 64 + row;
    return &sheet[(static_cast<size_t>(y) * 512 + x) * 4];
  };
  unsigned char* a = pixel(9, 2, 5, 0);
  a[2] = 0x47, a[3] = 255;
  unsigned char* b = pixel(9, 2, 5, 1);
  b[2] = 0x07, b[3] = 255;
  unsigned char* c = pixel(62, 4, 63, 3);
  c[0] = 255, c[2] = 255, c[3] = 128;
  const TuneCells cells = DecodeTunePicture(sheet, 512, 512);
  ASSERT_EQ(cells.size(), static_cast<size_t>(kTuneFrames * kTuneFrameCells));
  EXPECT_EQ(cells[TuneCellIndex(9, 2, 5, 0)], 8);
  EXPECT_EQ(cells[TuneCellIndex(9, 2, 5, 1)], 0);
  EXPECT_EQ(cells[TuneCellIndex(62, 4, 63, 3)], 16);
  EXPECT_TRUE(DecodeTunePicture(sheet, 256, 1024).empty());

  // The encoder's strip read back gives every value 0..31 unchanged.
  TuneCells values(static_cast<size_t>(kTuneFrames * kTuneFrameCells), 0);
  for (int v = 0; v < 32; ++v) values[static_cast<size_t>(TuneCellIndex(v, v % 8, v, v % 8))] = v;
  EXPECT_TRUE(DecodeTunePicture(EncodeTunePicture(values), kTunePictureWidth, kTunePictureHeight) ==
              values);
}

// Faults the sequencer would turn into silence, a crash or a lurch: tonal notes without a
// volume inherit a faded level, a backward jump in frame 0 reads before the first frame, a
// forward jump must land on its partner, and a gap frame would silence a voice when picked.
TEST(SoundAssets, TunesAreWrittenSoTheSequencerPlaysThemWell) {
  const int drumNotes[] = {13, 15, 17, 18, 20, 22, 24, 25};
  for (const TuneAsset& tune : ComposeTunes()) {
    int endMarks = 0, slides = 0, jumps = 0;
    for (int voice = 0; voice < kTuneBands; ++voice) {
      int lastFrame = -1;
      std::vector<bool> used(kTuneFrames, false);
      for (int frame = 0; frame < kTuneFrames; ++frame) {
        for (int row = 0; row < kTuneRows; ++row) {
          auto cell = [&](int column) {
            return tune.cells[TuneCellIndex(frame, voice, row, column)];
          };
          for (int column = 0; column < kTuneColumns; ++column) {
            if (cell(column)) {
              used[static_cast<size_t>(frame)] = true;
              lastFrame = frame;
            }
          }
          const int note = cell(0), volume = cell(1), effect = cell(2), parameter = cell(3);
          SCOPED_TRACE(tune.name + " voice " + std::to_string(voice) + " frame " +
                       std::to_string(frame) + " row " + std::to_string(row));
          if (note) {
            EXPECT_GE(volume, 1);
          }
          if (note && voice < 2) {
            EXPECT_NE(std::find(std::begin(drumNotes), std::end(drumNotes), note),
                      std::end(drumNotes));
          }
          if (effect == 8) {
            ++endMarks;
            EXPECT_EQ(voice, 4) << "the mark belongs on the last voice";
          }
          if (effect >= 1 && effect <= 4) {
            ++slides;
            EXPECT_GE(voice, 2);
          }
          if (effect == 27) {
            ++jumps;
            ASSERT_TRUE(parameter == 1 || parameter == 2);
            if (parameter == 2) {
              EXPECT_GE(frame, 1);
              EXPECT_EQ(row, 0);
            } else {
              ASSERT_LT(frame, 62);
              EXPECT_EQ(tune.cells[TuneCellIndex(frame + 1, voice, 0, 2)], 27);
              EXPECT_EQ(tune.cells[TuneCellIndex(frame + 1, voice, 0, 3)], 2);
            }
          }
        }
      }
      if (voice >= 5) {
        EXPECT_EQ(lastFrame, -1) << tune.name << " plays only five voices";
        continue;
      }
      EXPECT_GE(lastFrame, 2) << tune.name << " voice " << voice << " needs pattern variety";
      EXPECT_LT(lastFrame, 63);
      for (int frame = 0; frame <= lastFrame; ++frame) {
        EXPECT_TRUE(used[static_cast<size_t>(frame)]) << tune.name << " gap at " << frame;
      }
    }
    EXPECT_GE(endMarks, 1) << tune.name;
    EXPECT_GE(slides, 1) << tune.name;
    EXPECT_GE(jumps, 2) << tune.name;
  }
}
