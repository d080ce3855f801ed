// The music player: tunes stored as pictures, loaded step by step with a bank of instrument
// samples, and played by a five-voice sequencer whose arrangement follows from a seed.
#pragma once

#include "framework/audio.h"
#include "framework/image.h"
#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"

// ---------------------------------------------------------------------------------------------
// Types

class c_JMPlayer : public Object {
 public:
  // Tune cells: frames x 8 bands x 64 rows x 8 columns.
  static constexpr int FrameCells = 4096;
  static constexpr int BandCells = 512;
  static constexpr int RowCells = 8;
  static constexpr int DecodedFrames = 63;
  static constexpr int CellNote = 0;
  static constexpr int CellVolume = 1;
  static constexpr int CellEffect = 2;
  static constexpr int CellParameter = 3;

  int m_channelBase = 0;
  Array<int> m_variantCounts;
  int m_loadStep = 0;
  Array<int> m_variant;
  Array<c_Sound*> m_drumsA;
  Array<c_Sound*> m_drumsB;
  Array<c_Sound*> m_instruments;
  String m_tuneName;
  c_Image* m_tuneImage = nullptr;
  Array<int> m_notes;
  Array<int> m_lastFrame;
  int m_nextTime = 0;
  int m_state = 0;
  int m_voiceCount = 5;
  Array<int> m_voiceChannel;
  Array<int> m_voiceBusy;
  Array<int> m_voiceFrame;
  int m_row = 0;
  int m_repeats = 0;
  Array<int> m_voiceMute;
  Array<int> m_voiceFill;
  Array<int> m_voiceNextMute;
  float m_transpose = 0.0f;
  String m_chords;
  Array<float> m_voiceRate;
  Array<float> m_voiceEnvelope;
  float m_volume = 0.5f;
  Array<float> m_voiceVolume;
  int m_instrumentFlags = 1;
  int m_tempo = 95;
  int m_tuneSeed = 0;
  int m_section = 0;

  c_JMPlayer();
  c_JMPlayer* m_new();
  void mark() override;

  int p_JM_Init(int channelBase, int drumKits, int leads, int accompaniments, int basses);
  int p_JM_StartTune(String name, int seed, int tempo);
  int p_JM_LoadChunk();
  // The loader's driver, run at the start of every render.
  int p_JM_Alive_R();
  // The sequencer's driver, run once per game update.
  int p_JM_Alive_U(int paused, int musicOn);
  int p_JM_MusicPlay();
  int p_JM_PlayNote(int voice, int note, int volume, int effect, int parameter);
  int p_JM_Stop(int all);
  float p_GetPitch(int note);
  float p_GetPitch_Alpha(int character);
  String p_JM_GetChord(int progression);
  int p_Rand(int low, int high);
};
