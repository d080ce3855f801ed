// The OpenAL device: start-up that degrades to silence, the channel bookkeeping, and buffer
// deletion deferred until no source holds the buffer.

#include "devices/audio.h"

// <cmath> for the pan circle; <cstdint> and <climits> for sizing the buffer upload.
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
// <map> for the discarded buffers of each device.
#include <map>

#include "host/glfw_game.h"
#include "runtime/errors.h"
#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

// Devices are never closed, so a device's address names it for the whole run.
std::map<ALCdevice*, std::vector<ALuint>> nx_audio_discardedByDevice;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

bool nx_audio_ValidChannel(int channel) {
  return channel >= 0 && channel < gxtkAudio::ChannelCount;
}

// A source that does not exist, or a query OpenAL refuses (no context), reads as stopped:
// nothing can be sounding there.
ALint nx_audio_SourceState(ALuint source) {
  ALint state = AL_STOPPED;
  if (source != 0) alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state;
}

ALenum nx_audio_Format(int channels, int bytesPerSample) {
  if (bytesPerSample == 1 && channels == 1) return AL_FORMAT_MONO8;
  if (bytesPerSample == 1 && channels == 2) return AL_FORMAT_STEREO8;
  if (bytesPerSample == 2 && channels == 1) return AL_FORMAT_MONO16;
  if (bytesPerSample == 2 && channels == 2) return AL_FORMAT_STEREO16;
  return 0;
}

// The device of the current context, whose buffers a sample made now holds.
ALCdevice* nx_audio_CurrentDevice() {
  ALCcontext* context = alcGetCurrentContext();
  return context == nullptr ? nullptr : alcGetContextsDevice(context);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

std::vector<ALuint>& nx_audio_Discarded(ALCdevice* device) {
  return nx_audio_discardedByDevice[device];
}

gxtkSample::gxtkSample() = default;

gxtkSample::gxtkSample(ALuint buffer) : al_buffer(buffer), al_device(nx_audio_CurrentDevice()) {}

gxtkSample::~gxtkSample() {
  Discard();
}

void gxtkSample::SetBuffer(ALuint buffer) {
  al_buffer = buffer;
  al_device = nx_audio_CurrentDevice();
}

int gxtkSample::Discard() {
  if (al_buffer != 0) {
    nx_audio_Discarded(al_device).push_back(al_buffer);
    al_buffer = 0;
  }
  return 0;
}

ALuint gxtkChannel::AL_Source() {
  if (source == 0) alGenSources(1, &source);
  return source;
}

gxtkAudio::gxtkAudio() {
  alcDevice = alcOpenDevice(nullptr);
  if (alcDevice == nullptr) {
    nxPrint(String(u"OpenAl error: alcOpenDevice failed"));
  } else {
    alcContext = alcCreateContext(alcDevice, nullptr);
    if (alcContext == nullptr) {
      nxPrint(String(u"OpenAl error: alcCreateContext failed"));
    } else if (alcMakeContextCurrent(alcContext) == ALC_FALSE) {
      nxPrint(String(u"OpenAl error: alcMakeContextCurrent failed"));
    }
  }
  alDistanceModel(AL_NONE);
}

void gxtkAudio::mark() {
  for (gxtkChannel& channel : channels) {
    if (channel.state != gxtkChannel::Stopped &&
        nx_audio_SourceState(channel.source) != AL_STOPPED) {
      gc_mark_q(channel.sample);
    } else {
      // Nothing will sound from it again before the next PlaySample replaces it, and the
      // collector may now destroy it: no pointer to it may stay behind.
      channel.sample = nullptr;
    }
  }
}

int gxtkAudio::Suspend() {
  for (gxtkChannel& channel : channels) {
    if (channel.state == gxtkChannel::Playing &&
        nx_audio_SourceState(channel.source) == AL_PLAYING) {
      alSourcePause(channel.source);
    }
  }
  return 0;
}

int gxtkAudio::Resume() {
  for (gxtkChannel& channel : channels) {
    if (channel.state == gxtkChannel::Playing &&
        nx_audio_SourceState(channel.source) == AL_PAUSED) {
      alSourcePlay(channel.source);
    }
  }
  return 0;
}

gxtkSample* gxtkAudio::LoadSample__UNSAFE__(gxtkSample* sample, String path) {
  if (sample == nullptr || NxGlfwGame::_glfwGame == nullptr) return nullptr;
  int length = 0;
  int channelCount = 0;
  int bytesPerSample = 0;
  int hertz = 0;
  unsigned char* data =
      NxGlfwGame::_glfwGame->LoadAudioData(path, &length, &channelCount, &bytesPerSample, &hertz);
  if (data == nullptr) return nullptr;

  int64_t bytes = static_cast<int64_t>(length) * channelCount * bytesPerSample;
  if (bytes < 0 || bytes > INT_MAX) bytes = 0;
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  if (buffer != 0) {
    alBufferData(buffer, nx_audio_Format(channelCount, bytesPerSample), data,
                 static_cast<ALsizei>(bytes), hertz);
    gc_note_external_bytes(bytes);
  }
  std::free(data);
  // A sample loaded twice must not lose its first buffer.
  sample->Discard();
  sample->SetBuffer(buffer);
  return sample;
}

gxtkSample* gxtkAudio::LoadSample(String path) {
  FlushDiscarded();
  return LoadSample__UNSAFE__(gc_new<gxtkSample>(), path);
}

int gxtkAudio::PlaySample(gxtkSample* sample, int channelIndex, int flags) {
  if (sample == nullptr || !nx_audio_ValidChannel(channelIndex)) return 0;
  FlushDiscarded();
  gxtkChannel& channel = channels[channelIndex];
  ALuint source = channel.AL_Source();
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, static_cast<ALint>(sample->al_buffer));
  alSourcei(source, AL_LOOPING, flags != 0 ? 1 : 0);
  alSourcePlay(source);
  gc_assign(channel.sample, sample);
  channel.flags = flags;
  channel.state = gxtkChannel::Playing;
  return 0;
}

int gxtkAudio::StopChannel(int channelIndex) {
  if (!nx_audio_ValidChannel(channelIndex)) return 0;
  gxtkChannel& channel = channels[channelIndex];
  if (channel.state != gxtkChannel::Stopped) {
    alSourceStop(channel.source);
    channel.state = gxtkChannel::Stopped;
  }
  return 0;
}

int gxtkAudio::PauseChannel(int channelIndex) {
  if (!nx_audio_ValidChannel(channelIndex)) return 0;
  gxtkChannel& channel = channels[channelIndex];
  if (channel.state == gxtkChannel::Playing) {
    if (nx_audio_SourceState(channel.source) == AL_STOPPED) {
      channel.state = gxtkChannel::Stopped;
    } else {
      alSourcePause(channel.source);
      channel.state = gxtkChannel::Paused;
    }
  }
  return 0;
}

int gxtkAudio::ResumeChannel(int channelIndex) {
  if (!nx_audio_ValidChannel(channelIndex)) return 0;
  gxtkChannel& channel = channels[channelIndex];
  if (channel.state == gxtkChannel::Paused) {
    alSourcePlay(channel.source);
    channel.state = gxtkChannel::Playing;
  }
  return 0;
}

int gxtkAudio::ChannelState(int channelIndex) {
  if (!nx_audio_ValidChannel(channelIndex)) return 0;
  gxtkChannel& channel = channels[channelIndex];
  if (channel.state == gxtkChannel::Playing && nx_audio_SourceState(channel.source) == AL_STOPPED) {
    channel.state = gxtkChannel::Stopped;
  }
  return channel.state;
}

int gxtkAudio::SetVolume(int channelIndex, float volume) {
  if (!nx_audio_ValidChannel(channelIndex)) return 0;
  alSourcef(channels[channelIndex].AL_Source(), AL_GAIN, volume);
  return 0;
}

int gxtkAudio::SetPan(int channelIndex, float pan) {
  if (!nx_audio_ValidChannel(channelIndex)) return 0;
  alSource3f(channels[channelIndex].AL_Source(), AL_POSITION, std::sin(pan), 0.0f, -std::cos(pan));
  return 0;
}

int gxtkAudio::SetRate(int channelIndex, float rate) {
  if (!nx_audio_ValidChannel(channelIndex)) return 0;
  alSourcef(channels[channelIndex].AL_Source(), AL_PITCH, rate);
  return 0;
}

int gxtkAudio::PlayMusic(String path, int flags) {
  StopMusic();
  gxtkSample* sample = LoadSample(path);
  if (sample == nullptr) return -1;
  PlaySample(sample, MusicChannel, flags);
  return 0;
}

int gxtkAudio::StopMusic() {
  return StopChannel(MusicChannel);
}

int gxtkAudio::PauseMusic() {
  return PauseChannel(MusicChannel);
}

int gxtkAudio::ResumeMusic() {
  return ResumeChannel(MusicChannel);
}

int gxtkAudio::MusicState() {
  return ChannelState(MusicChannel);
}

int gxtkAudio::SetMusicVolume(float volume) {
  return SetVolume(MusicChannel, volume);
}

void gxtkAudio::FlushDiscarded() {
  std::vector<ALuint>& discarded = nx_audio_Discarded(alcDevice);
  if (discarded.empty()) return;
  // The names are this device's, and OpenAL reads them in the current context: another
  // device's context stands aside for the flush.
  ALCcontext* current = alcGetCurrentContext();
  bool switched = alcContext != nullptr && current != alcContext &&
                  alcMakeContextCurrent(alcContext) == ALC_TRUE;
  // Whatever is neither playing nor paused has finished with its buffer, whatever the
  // channel's own state says: a stopped channel keeps its buffer attached otherwise.
  for (gxtkChannel& channel : channels) {
    if (channel.source == 0) continue;
    ALint state = nx_audio_SourceState(channel.source);
    if (state != AL_PLAYING && state != AL_PAUSED) alSourcei(channel.source, AL_BUFFER, 0);
  }
  std::vector<ALuint> kept;
  for (ALuint name : discarded) {
    // A stale error from an earlier call must not be taken for this deletion's failure.
    alGetError();
    alDeleteBuffers(1, &name);
    if (alGetError() != AL_NO_ERROR) kept.push_back(name);
  }
  discarded.swap(kept);
  if (switched) alcMakeContextCurrent(current);
}
