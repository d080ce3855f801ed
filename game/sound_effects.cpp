// Sound effects: loading them by number and playing them on a ring of channels, so that
// effects overlap and the oldest is cut off when the ring comes round to it.
#include "game/my_app.h"

#include "framework/audio.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_Game_EffectChannels = 24;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int c_MyApp::p_LoadSFX(int effect) {
  String prefix = effect < 10 ? String(u"sfx/00") : String(u"sfx/0");
  gc_assign(m_sfx[effect], nx_audio_LoadSound(prefix + String(effect) + String(u".wav")));
  return 0;
}

// A missing effect still takes its turn in the ring and cuts off what played there; only
// the sound option keeps the ring where it is.
int c_MyApp::p_PlaySFX(int effect, float rate, float volume, float pan) {
  int sound = m_options[OptionSound];
  if (sound != 1 && sound != 2) return 0;
  m_sfxNext = (m_sfxNext + 1) % nx_Game_EffectChannels;
  if (m_sfxNext < 0) m_sfxNext = 0;
  int channel = m_sfxChannels[m_sfxNext];
  nx_audio_StopChannel(channel);
  nx_audio_PlaySound(m_sfx[effect], channel, 0);
  nx_audio_SetChannelRate(channel, rate);
  nx_audio_SetChannelVolume(channel, volume);
  nx_audio_SetChannelPan(channel, pan);
  return 0;
}

int c_MyApp::p_PlaySFX2(int effect, float volume) {
  return p_PlaySFX(effect, 1.0f, volume, 0.0f);
}
