// The music player: tune pictures and the instrument bank loaded a few steps a render, and the
// five-voice sequencer that plays them on fixed audio channels in an arrangement drawn from a seed.
#include "game/music_player.h"

// <cmath> for the floors of the arrangement's random choices.
#include <cmath>

// The host clock.
#include "framework/app.h"
#include "framework/graphics.h"
#include "framework/random.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_music_LoadSteps = 70;
constexpr int nx_music_LoadStepsPerRender = 3;
constexpr int nx_music_FirstDecodeStep = 5;
constexpr int nx_music_LoadDelayMs = 100;
constexpr int nx_music_PauseDelayMs = 150;
// A due time further ahead than this is taken as corrupt and played at once.
constexpr int nx_music_DueWindowMs = 123456;

// The tune picture: 64 frames of 64 x 64 pixels, each frame 8 bands of 8 columns by 64 rows.
constexpr int nx_music_PictureFrames = 64;
constexpr int nx_music_FrameSize = 64;
constexpr int nx_music_Bands = 8;
constexpr int nx_music_BandColumns = 8;
constexpr int nx_music_Rows = 64;
constexpr int nx_music_LastRow = nx_music_Rows - 1;

constexpr int nx_music_EffectSlideUp = 1;
constexpr int nx_music_EffectSlideDown = 2;
constexpr int nx_music_EffectFastSlideUp = 3;
constexpr int nx_music_EffectFastSlideDown = 4;
constexpr int nx_music_EffectEndPattern = 8;
constexpr int nx_music_EffectJump = 27;
constexpr int nx_music_JumpForward = 1;
constexpr int nx_music_JumpBack = 2;

constexpr int nx_music_FirstTonalVoice = 2;
constexpr float nx_music_DrumPan = 0.35f;
constexpr float nx_music_MinimumRate = 0.25f;
constexpr float nx_music_MaximumRate = 4.0f;

// Equal-tempered semitones, rounded; note 13 is the sample's own pitch.
constexpr float nx_music_Pitches[] = {
    0.5f,   0.5295f, 0.561f, 0.5945f, 0.63f,  0.6675f, 0.707f, 0.749f, 0.7935f, 0.841f, 0.891f,
    0.944f, 1.0f,    1.059f, 1.122f,  1.189f, 1.26f,   1.335f, 1.414f, 1.498f,  1.587f, 1.682f,
    1.782f, 1.888f,  2.0f,   2.118f,  2.244f, 2.378f,  2.52f,  2.67f,  2.828f,  2.996f,
};
constexpr int nx_music_PitchCount = sizeof(nx_music_Pitches) / sizeof(nx_music_Pitches[0]);

// Chord letters lie like piano keys on a typewriter: the bottom row is the lower octave.
constexpr char16_t nx_music_ChordLetters[] = u"zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";

constexpr const char16_t* nx_music_Chords[] = {u"qqqq", u"qqjj", u"qqbb",
                                               u"qbqb", u"qqqj", u"qqzz"};
constexpr int nx_music_ChordCount = sizeof(nx_music_Chords) / sizeof(nx_music_Chords[0]);
constexpr int nx_music_DefaultChord = 1;

// The notes that trigger drum samples 1 to 8.
constexpr int nx_music_DrumNotes[] = {13, 15, 17, 18, 20, 22, 24, 25};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// The clock wraps, so times are added and compared through unsigned arithmetic.
int nx_music_Later(int time, int milliseconds) {
  return static_cast<int>(static_cast<unsigned>(time) + static_cast<unsigned>(milliseconds));
}

int nx_music_Difference(int later, int earlier) {
  return static_cast<int>(static_cast<unsigned>(later) - static_cast<unsigned>(earlier));
}

int nx_music_Floor(float value) {
  return nx_float_to_int_clamped(std::floor(value));
}

// The arrangement's seeds are sums that may wrap, like the generator itself.
void nx_music_Reseed(unsigned seed, int skip) {
  nx_random_Seed = static_cast<int>(seed);
  for (int i = 0; i < skip; ++i) nx_random_Rnd();
}

unsigned nx_music_SectionSeed(int section, int tuneSeed) {
  return static_cast<unsigned>(section) * 9u + static_cast<unsigned>(tuneSeed);
}

unsigned nx_music_VoiceSeed(int voice, int section, int tuneSeed) {
  return static_cast<unsigned>(voice) * 7u + nx_music_SectionSeed(section, tuneSeed);
}

int nx_music_Coin() {
  return nx_music_Floor(nx_random_Rnd() * 1.99f);
}

int nx_music_Repeats() {
  return 2 * nx_music_Floor(nx_random_Rnd() * 1.99f + 1.0f);
}

int nx_music_ChooseFrame(int lastFrame) {
  return nx_music_Floor(nx_random_Rnd() * (static_cast<float>(lastFrame) + 0.99f));
}

int nx_music_CellIndex(int frame, int band, int row) {
  return frame * c_JMPlayer::FrameCells + band * c_JMPlayer::BandCells + row * c_JMPlayer::RowCells;
}

// Loading the atlas first lets a picture too small for every frame count as missing; grabbing
// its frames would end the run.
c_Image* nx_music_LoadTunePicture(String path) {
  c_Image* atlas = nx_graphics_LoadImage(path, 1, 0);
  if (atlas == nullptr) return nullptr;
  long long across = atlas->m_width / nx_music_FrameSize;
  long long down = atlas->m_height / nx_music_FrameSize;
  if (across * down < nx_music_PictureFrames) return nullptr;
  return atlas->p_GrabImage(0, 0, nx_music_FrameSize, nx_music_FrameSize, nx_music_PictureFrames,
                            ImageFlagCentre);
}

c_Sound* nx_music_LoadDrum(int kit, int sample) {
  return nx_audio_LoadSound(String(u"inst/d") + String(kit) + String(u"-") + String(sample) +
                            String(u".wav"));
}

c_Sound* nx_music_LoadInstrument(const char16_t* kind, int variant) {
  return nx_audio_LoadSound(String(u"inst/") + String(kind) + String(variant) + String(u".wav"));
}

// A cell is the blue of its pixel as the screen shows it over black, so a frame is drawn over
// black and read back: partly transparent pixels come out composited.
void nx_music_DecodeFrame(c_JMPlayer* player, int frame) {
  Array<int> pixels(nx_music_FrameSize * nx_music_FrameSize);
  nx_graphics_Cls(1.0f, 0.0f, 0.0f);
  nx_graphics_SetAlpha(1.0f);
  nx_graphics_SetColor(1.0f, 0.0f, 0.0f);
  nx_graphics_DrawRect(0.0f, 0.0f, 64.0f, 64.0f);
  nx_graphics_SetColor(255.0f, 255.0f, 255.0f);
  nx_graphics_DrawImage(player->m_tuneImage, 32.0f, 32.0f, frame);
  nx_graphics_ReadPixels(pixels, 0, 0, nx_music_FrameSize, nx_music_FrameSize, 0,
                         nx_music_FrameSize);
  for (int row = 0; row < nx_music_Rows; ++row) {
    for (int band = 0; band < nx_music_Bands; ++band) {
      for (int column = 0; column < nx_music_BandColumns; ++column) {
        int pixel = pixels[row * nx_music_FrameSize + band * nx_music_BandColumns + column];
        int value = (pixel & 255) >> 3;
        player->m_notes[nx_music_CellIndex(frame, band, row) + column] = value;
        if (value != 0) player->m_lastFrame[band] = frame;
      }
    }
  }
}

// Drum sample 1 to 8 for a note that triggers one, else 0.
int nx_music_DrumSample(int note) {
  for (int sample = 1; sample <= 8; ++sample) {
    if (nx_music_DrumNotes[sample - 1] == note) return sample;
  }
  return 0;
}

// A jump may only land on a decoded frame; one that would leave them keeps the voice where it is.
int nx_music_JumpTarget(int frame, int parameter, int repeats) {
  int target = frame;
  if (parameter == nx_music_JumpForward && repeats % 2 != 0) target = frame + 1;
  if (parameter == nx_music_JumpBack && repeats % 2 == 0) target = frame - 1;
  if (target < 0 || target >= c_JMPlayer::DecodedFrames) return frame;
  return target;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

c_JMPlayer::c_JMPlayer()
    : m_variantCounts(8),
      m_variant(8),
      m_drumsA(9),
      m_drumsB(9),
      m_instruments(8),
      m_notes(262145),
      m_lastFrame(8),
      m_voiceChannel(8),
      m_voiceBusy(8),
      m_voiceFrame(8),
      m_voiceMute(8),
      m_voiceFill(8),
      m_voiceNextMute(8),
      m_voiceRate(8),
      m_voiceEnvelope(8),
      m_voiceVolume(8) {}

c_JMPlayer* c_JMPlayer::m_new() {
  return this;
}

void c_JMPlayer::mark() {
  gc_mark_q(m_variantCounts);
  gc_mark_q(m_variant);
  gc_mark_q(m_drumsA);
  gc_mark_q(m_drumsB);
  gc_mark_q(m_instruments);
  gc_mark_q(m_tuneImage);
  gc_mark_q(m_notes);
  gc_mark_q(m_lastFrame);
  gc_mark_q(m_voiceChannel);
  gc_mark_q(m_voiceBusy);
  gc_mark_q(m_voiceFrame);
  gc_mark_q(m_voiceMute);
  gc_mark_q(m_voiceFill);
  gc_mark_q(m_voiceNextMute);
  gc_mark_q(m_voiceRate);
  gc_mark_q(m_voiceEnvelope);
  gc_mark_q(m_voiceVolume);
}

int c_JMPlayer::p_JM_Init(int channelBase, int drumKits, int leads, int accompaniments,
                          int basses) {
  m_channelBase = channelBase;
  m_variantCounts[1] = drumKits;
  m_variantCounts[2] = leads;
  m_variantCounts[3] = accompaniments;
  m_variantCounts[4] = basses;
  return 0;
}

int c_JMPlayer::p_JM_StartTune(String name, int seed, int tempo) {
  String path = String(u"tunes/") + name + String(u".png");
  m_section = 0;
  m_tuneSeed = seed;
  m_nextTime = nx_music_Later(nx_app_Millisecs(), nx_music_LoadDelayMs);
  m_row = 0;
  m_tempo = tempo;
  m_state = 2;
  if (path != m_tuneName) {
    m_loadStep = 1;
    m_tuneName = path;
    for (int voice = 0; voice < m_voiceCount; ++voice) {
      m_lastFrame[voice] = 0;
      m_voiceFrame[voice] = 0;
    }
  }
  for (int voice = 0; voice < m_voiceCount; ++voice) {
    m_voiceChannel[voice] = m_channelBase - voice;
  }

  nx_music_Reseed(static_cast<unsigned>(m_tuneSeed) + static_cast<unsigned>(m_section), 11);
  m_variant[1] = p_Rand(1, m_variantCounts[1]);
  m_variant[2] = p_Rand(1, m_variantCounts[1]);
  m_variant[3] = p_Rand(1, m_variantCounts[2]);
  m_variant[4] = p_Rand(1, m_variantCounts[3]);
  m_variant[5] = p_Rand(1, m_variantCounts[4]);

  for (int voice = 0; voice < m_voiceCount; ++voice) {
    nx_music_Reseed(nx_music_VoiceSeed(voice, m_section, m_tuneSeed), 11);
    m_voiceFrame[voice] = nx_music_ChooseFrame(m_lastFrame[voice]);
    m_voiceNextMute[voice] = nx_music_Coin();
    m_voiceFill[voice] = nx_music_Coin();
    m_voiceMute[voice] = nx_music_Coin();
  }
  // At least one drum voice plays.
  if (m_voiceMute[0] == 1 && m_voiceMute[1] == 1) m_voiceMute[0] = 0;
  m_repeats = nx_music_Repeats();
  m_chords = String(u"qqjj");
  return 0;
}

int c_JMPlayer::p_JM_LoadChunk() {
  int step = m_loadStep;
  if (step == 1) gc_assign(m_tuneImage, nx_music_LoadTunePicture(m_tuneName));
  if (step >= 2 && step <= 9) {
    gc_assign(m_drumsA[step - 1], nx_music_LoadDrum(m_variant[1], step - 1));
  }
  if (step >= 12 && step <= 19) {
    gc_assign(m_drumsB[step - 11], nx_music_LoadDrum(m_variant[2], step - 11));
  }
  if (step == 21) gc_assign(m_instruments[2], nx_music_LoadInstrument(u"lead", m_variant[3]));
  if (step == 22) gc_assign(m_instruments[3], nx_music_LoadInstrument(u"accompany", m_variant[4]));
  if (step == 23) gc_assign(m_instruments[4], nx_music_LoadInstrument(u"bass", m_variant[5]));
  int frame = step - nx_music_FirstDecodeStep;
  if (frame >= 0 && frame < DecodedFrames && m_tuneImage != nullptr) {
    nx_music_DecodeFrame(this, frame);
  }

  m_loadStep += 1;
  m_nextTime = nx_music_Later(nx_app_Millisecs(), nx_music_LoadDelayMs);
  if (m_loadStep > nx_music_LoadSteps) m_loadStep = 0;
  return 0;
}

int c_JMPlayer::p_JM_Alive_R() {
  for (int i = 0; i < nx_music_LoadStepsPerRender && m_loadStep > 0; ++i) p_JM_LoadChunk();
  // Nothing the loader drew may stay visible.
  nx_graphics_Cls(0.0f, 0.0f, 0.0f);
  return 0;
}

int c_JMPlayer::p_JM_Alive_U(int paused, int musicOn) {
  if (m_state == 0) p_JM_Stop(0);
  if (m_state == 2 && m_loadStep == 0 && paused == 0) {
    if (musicOn == 1) {
      p_JM_MusicPlay();
    } else {
      p_JM_Stop(0);
    }
  } else if (paused == 1) {
    m_nextTime = nx_music_Later(nx_app_Millisecs(), nx_music_PauseDelayMs);
    if (m_state == 2) p_JM_Stop(0);
  } else if (m_state == 2 && musicOn == 0) {
    p_JM_Stop(0);
  }
  return 0;
}

int c_JMPlayer::p_JM_MusicPlay() {
  int ahead = nx_music_Difference(m_nextTime, nx_app_Millisecs());
  if (ahead >= 0 && ahead <= nx_music_DueWindowMs) return 0;

  for (int voice = 0; voice < m_voiceCount; ++voice) {
    int frame = m_voiceFrame[voice];
    int cell = nx_music_CellIndex(frame, voice, m_row);
    if (m_notes[cell + CellEffect] == nx_music_EffectJump) {
      int target = nx_music_JumpTarget(frame, m_notes[cell + CellParameter], m_repeats);
      if (target != frame) {
        m_voiceFrame[voice] = target;
        cell = nx_music_CellIndex(target, voice, m_row);
      }
    }
    p_JM_PlayNote(voice, m_notes[cell + CellNote], m_notes[cell + CellVolume],
                  m_notes[cell + CellEffect], m_notes[cell + CellParameter]);
    if (m_notes[cell + CellEffect] == nx_music_EffectEndPattern) m_row = nx_music_LastRow;
  }

  // From the previous due time, not from now, so that late updates do not drag the tempo.
  int stepMs = m_tempo > 0 ? 8000 / m_tempo : 8000;
  m_nextTime = nx_music_Later(m_nextTime, stepMs);
  m_row = (m_row + 1) % nx_music_Rows;
  if (m_row != 0) return 0;

  // End of a pattern: the next chord letter.
  nx_music_Reseed(nx_music_SectionSeed(m_section, m_tuneSeed), 16);
  if (m_chords.Length() == 1) {
    m_chords = String(u" ") + p_JM_GetChord(nx_music_Floor(nx_random_Rnd() * 4.99f));
  }
  if (m_chords.Length() > 1) m_chords = m_chords.Slice(1);
  m_repeats -= 1;
  if (m_repeats > 0) return 0;

  // End of a section: the repeats come from the old section's seed, the voices from the new one.
  nx_music_Reseed(nx_music_SectionSeed(m_section, m_tuneSeed), 11);
  m_repeats = nx_music_Repeats();
  m_section += 1;
  for (int voice = 0; voice < m_voiceCount; ++voice) {
    nx_music_Reseed(nx_music_VoiceSeed(voice, m_section, m_tuneSeed), 11);
    m_voiceFrame[voice] = nx_music_ChooseFrame(m_lastFrame[voice]);
    if (m_state > 1) m_voiceMute[voice] = m_voiceNextMute[voice];
    m_voiceNextMute[voice] = nx_music_Coin();
    m_voiceFill[voice] = nx_music_Coin();
  }
  if (m_state > 1 && m_voiceMute[0] == 1 && m_voiceMute[1] == 1) m_voiceMute[0] = 0;
  return 0;
}

int c_JMPlayer::p_JM_PlayNote(int voice, int note, int volume, int effect, int parameter) {
  int mute = m_voiceMute[voice];
  if (m_state < 2) {
    m_transpose = 1.0f;
  } else {
    // A voice that plays in the next section comes in during the last eight rows of this one.
    if (m_repeats < 2 && m_row > 55 && m_voiceFill[voice] == 1 && m_voiceNextMute[voice] == 0) {
      mute = 0;
    }
    m_transpose = m_chords.Length() > 0 ? p_GetPitch_Alpha(m_chords[0]) : 1.0f;
  }
  for (int i = 0; i < m_voiceCount; ++i) m_voiceChannel[i] = m_channelBase - 1 - i;
  int channel = m_voiceChannel[voice];

  if (voice < nx_music_FirstTonalVoice && note >= 1 && mute == 0 && channel >= 1) {
    nx_audio_StopChannel(channel);
    Array<c_Sound*>& drums = voice == 0 ? m_drumsA : m_drumsB;
    int sample = nx_music_DrumSample(note);
    if (sample > 0 && drums[sample] != nullptr) {
      m_voiceBusy[voice] = 1;
      nx_audio_PlaySound(drums[sample], channel, 0);
      nx_audio_SetChannelPan(channel, voice == 0 ? -nx_music_DrumPan : nx_music_DrumPan);
    }
    m_voiceRate[voice] = 1.0f;
    m_voiceEnvelope[voice] = 4.0f;
  }

  float factor = static_cast<float>(volume - 1) / 29.0f;
  if (factor > 1.0f) {
    m_voiceEnvelope[voice] = 0.0f;
    factor = 0.0f;
  }
  if (factor < 0.0f) factor = 0.0f;
  if (volume < 1 || channel < 1 || mute != 0) {
    factor = m_voiceVolume[voice];
  } else {
    m_voiceEnvelope[voice] = 1.5f;
    nx_audio_SetChannelVolume(channel, m_volume * factor);
    m_voiceVolume[voice] = factor;
  }

  float envelope = m_voiceEnvelope[voice] - 0.1f;
  if (envelope < 0.0f) envelope = 0.0f;
  m_voiceEnvelope[voice] = envelope;
  if (envelope < 1.0f && channel >= 1) {
    nx_audio_SetChannelVolume(channel, m_volume * envelope * factor);
    m_voiceVolume[voice] = envelope * factor;
  }

  if (voice >= nx_music_FirstTonalVoice && note > 0) {
    if (mute != 0 || channel < 1) return 0;
    nx_audio_StopChannel(channel);
    float noteRate = p_GetPitch(note) * m_transpose;
    m_voiceRate[voice] = noteRate;
    m_voiceEnvelope[voice] = 1.5f;
    nx_audio_SetChannelRate(channel, noteRate);
    if (m_instruments[voice] != nullptr) {
      m_voiceBusy[voice] = 1;
      nx_audio_PlaySound(m_instruments[voice], channel, m_instrumentFlags);
    }
  } else if (mute != 0) {
    return 0;
  }

  if (channel < 1) return 0;
  float amount = static_cast<float>(parameter);
  float& rate = m_voiceRate[voice];
  switch (effect) {
    case nx_music_EffectSlideUp:
      rate = std::fmin(rate + amount / 180.0f, nx_music_MaximumRate);
      break;
    case nx_music_EffectSlideDown:
      rate = std::fmax(rate - amount / 180.0f, nx_music_MinimumRate);
      break;
    case nx_music_EffectFastSlideUp:
      rate = std::fmin(rate + amount / 15.0f, nx_music_MaximumRate);
      break;
    case nx_music_EffectFastSlideDown:
      rate = std::fmax(rate - amount / 15.0f, nx_music_MinimumRate);
      break;
    default:
      return 0;
  }
  nx_audio_SetChannelRate(channel, rate);
  return 0;
}

int c_JMPlayer::p_JM_Stop(int all) {
  for (int voice = 0; voice < m_voiceCount; ++voice) {
    int channel = m_voiceChannel[voice];
    if (channel > 0 && m_voiceBusy[voice] == 1) {
      nx_audio_StopChannel(channel);
      m_voiceBusy[voice] = 0;
    }
  }
  if (all == 1) m_state = 0;
  return 0;
}

float c_JMPlayer::p_GetPitch(int note) {
  if (note < 1 || note > nx_music_PitchCount) return 0.0f;
  return nx_music_Pitches[note - 1];
}

float c_JMPlayer::p_GetPitch_Alpha(int character) {
  for (int i = 0; i < nx_music_PitchCount; ++i) {
    if (nx_music_ChordLetters[i] == character) return nx_music_Pitches[i];
  }
  return 0.0f;
}

String c_JMPlayer::p_JM_GetChord(int progression) {
  if (progression < 0 || progression >= nx_music_ChordCount) {
    return String(nx_music_Chords[nx_music_DefaultChord]);
  }
  return String(nx_music_Chords[progression]);
}

int c_JMPlayer::p_Rand(int low, int high) {
  float lowValue = static_cast<float>(low);
  return nx_music_Floor(lowValue + (static_cast<float>(high) + 0.99f - lowValue) * nx_random_Rnd());
}
