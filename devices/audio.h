// gxtkAudio: the OpenAL device with its 33 channels (channel 32 carries the music), the
// samples it plays, and each device's list of buffers waiting to be deleted once no source
// holds them.
#pragma once

// <AL/al.h> for the source and buffer names the records hold.
#include <AL/al.h>
#include <AL/alc.h>

#include <vector>

#include "runtime/object.h"
#include "runtime/string.h"

// ---------------------------------------------------------------------------------------------
// Types

// One loaded sound: a single OpenAL buffer (0 when it holds none), and the OpenAL device whose
// buffer it is: the device current when the buffer was set.
class gxtkSample : public Object {
 public:
  ALuint al_buffer = 0;
  ALCdevice* al_device = nullptr;

  gxtkSample();
  explicit gxtkSample(ALuint buffer);
  // The buffer goes to its device's discarded list, as by Discard().
  ~gxtkSample() override;

  void SetBuffer(ALuint buffer);
  // Hands the buffer to its device's discarded list and forgets it.
  virtual int Discard();
};

// One channel of the device: a lazily made source and the device's own view of its state.
struct gxtkChannel {
  static constexpr int Stopped = 0;
  static constexpr int Playing = 1;
  static constexpr int Paused = 2;

  ALuint source = 0;
  gxtkSample* sample = nullptr;
  int flags = 0;
  int state = Stopped;

  // The channel's source, generated on first use. Stays 0 when OpenAL has no context.
  ALuint AL_Source();
};

// Every channel argument is 0 to 32; any other channel is ignored (operations return 0).
class gxtkAudio : public Object {
 public:
  static constexpr int ChannelCount = 33;
  static constexpr int MusicChannel = 32;

  ALCdevice* alcDevice = nullptr;
  ALCcontext* alcContext = nullptr;
  gxtkChannel channels[ChannelCount];

  // Opens the default output. A failed step prints its line once; the device then works
  // silently.
  gxtkAudio();
  // Keeps alive only the samples that are still sounding or paused.
  void mark() override;

  // Pause and restart what is sounding; channels paused by PauseChannel are left alone.
  virtual int Suspend();
  virtual int Resume();
  // Loads the file into `sample`'s buffer; null when the file gives no audio.
  virtual gxtkSample* LoadSample__UNSAFE__(gxtkSample* sample, String path);
  virtual gxtkSample* LoadSample(String path);
  // Starts `sample` from its beginning on `channel`; any non-zero flags word loops it.
  virtual int PlaySample(gxtkSample* sample, int channel, int flags);
  virtual int StopChannel(int channel);
  virtual int PauseChannel(int channel);
  virtual int ResumeChannel(int channel);
  // 0 stopped, 1 playing, 2 paused; a non-looping sample that ended reads 0 from then on.
  virtual int ChannelState(int channel);
  virtual int SetVolume(int channel, float volume);
  // `pan` in radians on the circle round the listener: 0 ahead, positive to the right.
  virtual int SetPan(int channel, float pan);
  // Playback-rate factor: 2 is an octave up.
  virtual int SetRate(int channel, float rate);
  // The whole file is loaded like a sample and played on channel 32; -1 when it will not load.
  virtual int PlayMusic(String path, int flags);
  virtual int StopMusic();
  virtual int PauseMusic();
  virtual int ResumeMusic();
  virtual int MusicState();
  virtual int SetMusicVolume(float volume);

  // Detaches finished sources and deletes every discarded buffer that is free; the rest stay
  // queued for the next attempt.
  void FlushDiscarded();
};

// ---------------------------------------------------------------------------------------------
// Public functions

// Buffer names of the destroyed or discarded samples of one OpenAL device, oldest first, until
// their deletion succeeds. Buffer names are the device's own, so each device has its list: a
// name another device discarded may be a live buffer here.
std::vector<ALuint>& nx_audio_Discarded(ALCdevice* device);
