// The script-level sound module: thin forwards to the audio device, with the null checks the
// game relies on when a sound failed to load.

#include "framework/audio.h"

#include "devices/audio.h"
#include "host/game.h"
#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Globals

gxtkAudio* nx_audio_device = nullptr;

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

void nx_audio_MarkRoots() {
  gc_mark_q(nx_audio_device);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

c_Sound* c_Sound::m_new(gxtkSample* sample) {
  gc_assign(m_sample, sample);
  return this;
}

c_Sound* c_Sound::m_new2() {
  return this;
}

void c_Sound::mark() {
  gc_mark_q(m_sample);
}

void nx_audio_Init() {
  gc_add_root_marker(nx_audio_MarkRoots);
}

int nx_audio_SetAudioDevice(gxtkAudio* device) {
  gc_assign(nx_audio_device, device);
  return 0;
}

c_Sound* nx_audio_LoadSound(String path) {
  if (nx_audio_device == nullptr) return nullptr;
  gxtkSample* sample = nx_audio_device->LoadSample(nx_data_FixDataPath(path));
  if (sample == nullptr) return nullptr;
  return gc_new<c_Sound>()->m_new(sample);
}

int nx_audio_PlaySound(c_Sound* sound, int channel, int flags) {
  if (sound == nullptr || sound->m_sample == nullptr || nx_audio_device == nullptr) return 0;
  nx_audio_device->PlaySample(sound->m_sample, channel, flags);
  return 0;
}

int nx_audio_StopChannel(int channel) {
  if (nx_audio_device != nullptr) nx_audio_device->StopChannel(channel);
  return 0;
}

int nx_audio_SetChannelVolume(int channel, float volume) {
  if (nx_audio_device != nullptr) nx_audio_device->SetVolume(channel, volume);
  return 0;
}

int nx_audio_SetChannelPan(int channel, float pan) {
  if (nx_audio_device != nullptr) nx_audio_device->SetPan(channel, pan);
  return 0;
}

int nx_audio_SetChannelRate(int channel, float rate) {
  if (nx_audio_device != nullptr) nx_audio_device->SetRate(channel, rate);
  return 0;
}
