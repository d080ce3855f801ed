// The game's view of sound: c_Sound, the one audio device in nx_audio_device (a collector
// root), and the nx_audio_* operations the game calls with asset paths.
#pragma once

#include "runtime/object.h"
#include "runtime/string.h"

class gxtkAudio;
class gxtkSample;

// ---------------------------------------------------------------------------------------------
// Types

class c_Sound : public Object {
 public:
  gxtkSample* m_sample = nullptr;

  c_Sound* m_new(gxtkSample* sample);
  c_Sound* m_new2();
  void mark() override;
};

// ---------------------------------------------------------------------------------------------
// Globals

extern gxtkAudio* nx_audio_device;

// ---------------------------------------------------------------------------------------------
// Functions

// Registers the collector root that greys nx_audio_device; nxInit calls it, and a second call
// adds nothing.
void nx_audio_Init();

int nx_audio_SetAudioDevice(gxtkAudio* device);
// Null for a missing, unreadable or unsupported file, or when no device is set; no message.
c_Sound* nx_audio_LoadSound(String path);
// A null sound, or one without a sample, is ignored.
int nx_audio_PlaySound(c_Sound* sound, int channel, int flags);
int nx_audio_StopChannel(int channel);
int nx_audio_SetChannelVolume(int channel, float volume);
int nx_audio_SetChannelPan(int channel, float pan);
int nx_audio_SetChannelRate(int channel, float rate);
