// PLACEHOLDER: empty bodies until this area is written.
#include "game/music_player.h"

c_JMPlayer::c_JMPlayer() : m_variantCounts(8), m_variant(8), m_drumsA(9), m_drumsB(9), m_instruments(8), m_notes(262145), m_lastFrame(8), m_voiceChannel(8), m_voiceBusy(8), m_voiceFrame(8), m_voiceMute(8), m_voiceFill(8), m_voiceNextMute(8), m_voiceRate(8), m_voiceEnvelope(8), m_voiceVolume(8) {}
c_JMPlayer* c_JMPlayer::m_new() { return this; }
void c_JMPlayer::mark() {}
int c_JMPlayer::p_JM_Init(int, int, int, int, int) { return 0; }
int c_JMPlayer::p_JM_StartTune(String, int, int) { return 0; }
int c_JMPlayer::p_JM_LoadChunk() { return 0; }
int c_JMPlayer::p_JM_Alive_R() { return 0; }
int c_JMPlayer::p_JM_Alive_U(int, int) { return 0; }
int c_JMPlayer::p_JM_MusicPlay() { return 0; }
int c_JMPlayer::p_JM_PlayNote(int, int, int, int, int) { return 0; }
int c_JMPlayer::p_JM_Stop(int) { return 0; }
float c_JMPlayer::p_GetPitch(int) { return 0; }
float c_JMPlayer::p_GetPitch_Alpha(int) { return 0; }
String c_JMPlayer::p_JM_GetChord(int) { return String(); }
int c_JMPlayer::p_Rand(int, int) { return 0; }
