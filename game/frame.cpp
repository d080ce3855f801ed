// The game's frame: creation, the mode dispatch of every update, the layout of the window as
// a virtual screen, the replay of the draw list, suspension, iCade letters and fullscreen.
#include "game/my_app.h"

#include "framework/graphics.h"
#include "framework/input.h"
#include "game/globals.h"
#include "game/music_player.h"
// The fullscreen switch reopens the window through the desktop host.
#include "host/glfw_game.h"
#include "runtime/errors.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

// An iCade cabinet sends one letter when a button goes down and another when it comes up.
struct nx_Game_ICadePair {
  int button;
  char press;
  char release;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_Game_UpdateRate = 60;
constexpr int nx_Game_SuspendedUpdateRate = 5;

constexpr int nx_Game_KeyMouseLeft = 1;
constexpr int nx_Game_KeyF1 = 112;
constexpr int nx_Game_KeyF4 = 115;
constexpr int nx_Game_KeyF11 = 122;
constexpr int nx_Game_KeyJoystickGuide = 270;
constexpr int nx_Game_KeyTouch = 384;
constexpr int nx_Game_KeyBack = 416;

constexpr int nx_Game_Fingers = 10;
constexpr int nx_Game_BackButton = 19;
// Buttons 0 to 18 are game buttons; entry 19 is the back button.
constexpr int nx_Game_GameButtons = 19;

// Each cabinet button's press and release letters.
constexpr nx_Game_ICadePair nx_Game_ICadePairs[] = {
    {0, 'W', 'E'},  {8, 'X', 'Z'},  {3, 'A', 'Q'},  {5, 'D', 'C'},  {13, 'Y', 'T'}, {14, 'U', 'F'},
    {15, 'I', 'M'}, {16, 'O', 'G'}, {10, 'H', 'R'}, {11, 'J', 'N'}, {12, 'K', 'P'}, {17, 'L', 'V'},
};

// The buttons whose holding keeps the key latch set, after button 0 of every player.
constexpr int nx_Game_LatchButtons[] = {3, 5, 8, 10, 11, 12, 13, 14, 15, 16, 17, 99};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// The difference of two clock readings; the clock wraps, so the subtraction does too.
int nx_Game_ElapsedMs(int now, int then) {
  return static_cast<int>(static_cast<unsigned>(now) - static_cast<unsigned>(then));
}

// One rate meter step: the instantaneous rate, unless two readings fall in one millisecond,
// smoothed into the average.
void nx_Game_MeterRate(int& lastMs, int& rate, int& average) {
  int now = nx_app_Millisecs();
  if (nx_Game_ElapsedMs(now, lastMs) > 0) {
    int elapsed = nx_Game_ElapsedMs(nx_app_Millisecs(), lastMs);
    if (elapsed > 0) rate = 1000 / elapsed;
  }
  average = (average * 9 + rate) / 10;
  lastMs = nx_app_Millisecs();
}

// Takes characters until the queue is empty; each one passes through `last` on its way.
template <class Handler>
void nx_Game_DrainCharacters(int& last, Handler handle) {
  for (;;) {
    last = nx_input_GetChar();
    if (last == 0) break;
    handle(last);
  }
  last = 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

c_MyApp::c_MyApp()
    : m_touchDown(nx_Game_Fingers),
      m_touchX(nx_Game_Fingers),
      m_touchY(nx_Game_Fingers),
      m_iCadeButtons(20),
      m_jm(gc_new<c_JMPlayer>()->m_new()),
      m_grid(12000),
      m_particles(5100),
      m_particleCount(250),
      m_ripples(500),
      m_stars(5100),
      m_starCount(100),
      m_players(512),
      m_highScores(150),
      m_badges(256),
      m_badgePopupId(15),
      m_badgePopupTimer(15),
      m_options(OptionCount),
      m_drawList(DrawListFloats),
      m_images(100),
      m_imageInfo(300),
      m_sfx(100),
      m_sfxChannels(33) {}

c_MyApp* c_MyApp::m_new() {
  c_App::m_new();
  return this;
}

void c_MyApp::mark() {
  gc_mark_q(m_touchDown);
  gc_mark_q(m_touchX);
  gc_mark_q(m_touchY);
  gc_mark_q(m_iCadeButtons);
  gc_mark_q(m_jm);
  gc_mark_q(m_grid);
  gc_mark_q(m_particles);
  gc_mark_q(m_ripples);
  gc_mark_q(m_stars);
  gc_mark_q(m_players);
  gc_mark_q(m_highScores);
  gc_mark_q(m_badges);
  gc_mark_q(m_badgePopupId);
  gc_mark_q(m_badgePopupTimer);
  gc_mark_q(m_options);
  gc_mark_q(m_drawList);
  gc_mark_q(m_images);
  gc_mark_q(m_imageInfo);
  gc_mark_q(m_sfx);
  gc_mark_q(m_sfxChannels);
}

int c_MyApp::p_OnCreate() {
  if (nx_Game_isOuya == 1) nx_Game_overscan = 64.0f;
  m_fullscreen = 0;
  m_logoJinglePlayed = 0;
  m_gameMode = ModeMenu;
  nx_app_SetUpdateRate(nx_Game_UpdateRate);
  m_screenWidth = nx_graphics_DeviceWidth();
  m_screenHeight = nx_graphics_DeviceHeight();
  if (nx_Game_HasMusic == 1) m_jm->p_JM_Init(32, 4, 3, 3, 4);
  m_tiltRestX = 0.0f;
  m_tiltRestY = 0.0f;
  p_Reload();
  m_gameType = 2;
  m_menuSlide = -32;
  m_paused = 0;
  m_pauseDir = -1;
  m_pauseY = -64;
  for (int i = 0; i < 128; ++i) m_badges[i] = false;
  for (int i = 0; i < m_badgePopupId.Length(); ++i) {
    m_badgePopupId[i] = 0;
    m_badgePopupTimer[i] = 0;
  }
  for (int i = 0; i < nx_Game_GameButtons; ++i) m_iCadeButtons[i] = 0;
  for (int i = 0; i < OptionCount; ++i) m_options[i] = 0;
  for (int i = 0; i <= 30; ++i) m_highScores[i] = 0;
  m_options[OptionSound] = 1;
  p_Load();
  for (int i = 0; i < m_sfxChannels.Length(); ++i) m_sfxChannels[i] = i;
  return 0;
}

int c_MyApp::p_OnSuspend() {
  p_iCade(0);
  p_PauseOnFocusChange();
  nx_app_SetUpdateRate(nx_Game_SuspendedUpdateRate);
  p_Save();
  return 0;
}

int c_MyApp::p_OnResume() {
  p_PauseOnFocusChange();
  nx_app_SetUpdateRate(nx_Game_UpdateRate);
  p_iCade(0);
  return 0;
}

int c_MyApp::p_OnUpdate() {
  if (nx_Game_isOuya == 0) {
    m_iCadeButtons[nx_Game_BackButton] = nx_input_KeyHit(nx_Game_KeyBack);
  } else {
    m_iCadeButtons[nx_Game_BackButton] = nx_input_KeyHit(nx_Game_KeyJoystickGuide) > 0 ? 1 : 0;
  }
  if (nx_input_KeyHit(nx_Game_KeyF11) != 0) p_FullscreenFlip();
  // F4 ends the run at once, without a save, where there is somewhere to go back to; the close
  // button never gets this far, the framework ends the run from inside its event.
  if (nx_input_KeyHit(nx_Game_KeyF4) != 0 && nx_Game_CanQuit()) nxError(String());
  if (nx_input_KeyHit(nx_Game_KeyF1) != 0) nx_Game_DebugMode = 1 - nx_Game_DebugMode;
  nx_asyncevent_UpdateAsyncEvents();
  nx_Game_MeterRate(m_updateLastMs, m_updateFps, m_updateFpsAvg);
  if (nx_Game_HasMusic == 1) {
    int sound = m_options[OptionSound];
    m_jm->p_JM_Alive_U(m_paused, sound == 1 || sound == 3 ? 1 : 0);
  }

  // Pointer and touches in virtual units. Before the first layout the scale is 0, and the
  // conversion still has a defined answer.
  m_oldMouseX = m_mouseX;
  m_oldMouseY = m_mouseY;
  float width = static_cast<float>(nx_graphics_DeviceWidth());
  float height = static_cast<float>(nx_graphics_DeviceHeight());
  float overscanY = nx_Game_overscan * height / width;
  auto virtualX = [&](float x) {
    return nx_float_to_int_clamped((x - nx_Game_overscan) / m_scaleX);
  };
  auto virtualY = [&](float y) { return nx_float_to_int_clamped((y - overscanY) / m_scaleY); };
  m_mouseX = virtualX(nx_input_MouseX());
  m_mouseY = virtualY(nx_input_MouseY());
  int leftDown = nx_input_KeyDown(nx_Game_KeyMouseLeft) ? 1 : 0;
  if (m_wasMouseDown == 0 && leftDown == 1) {
    m_oldMouseX = m_mouseX;
    m_oldMouseY = m_mouseY;
  }
  m_pointerDown = leftDown;
  m_mouseHit = nx_input_KeyHit(nx_Game_KeyMouseLeft);
  for (int finger = 0; finger < nx_Game_Fingers; ++finger) {
    m_touchDown[finger] = 0;
    m_touchX[finger] = AbsentInt;
    m_touchY[finger] = AbsentInt;
    if (nx_input_KeyDown(nx_Game_KeyTouch + finger)) {
      m_touchDown[finger] = 1;
      m_touchX[finger] = virtualX(nx_input_TouchX(finger));
      m_touchY[finger] = virtualY(nx_input_TouchY(finger));
      m_pointerDown = 1;
    }
  }
  m_wasMouseDown = leftDown;
  if (m_pointerDown == 0) m_pointerLatch = 0;
  if (m_clickDelay > 0) m_clickDelay -= 1;

  // Latches: a held key or pointer acts once. A latch that was set stays set while its key
  // is held, so the value after the release test answers "was nothing latched before".
  bool held = false;
  for (int player = 0; player <= 3 && !held; ++player) held = p_PlayKey(0, 1, player) != 0;
  for (int button : nx_Game_LatchButtons) {
    if (held) break;
    held = p_PlayKeyAll(button) != 0;
  }
  if (!held) m_keyLatch = 0;
  if (m_keyLatch == 0 && m_pointerLatch == 0 && p_PlayKeyAll(99) != 0 && m_gameMode == ModeMenu &&
      (m_creditsOpen == 1 || m_optionsOpen == 1 || m_badgesOpen == 1)) {
    m_creditsOpen = 0;
    m_badgesOpen = 0;
    m_keyLatch = 1;
    m_pointerLatch = 1;
  }
  if (m_optionsOpen == 1) {
    m_keyLatch = 1;
    m_pointerLatch = 1;
  }

  if (m_loadStep == 0) {
    switch (m_gameMode) {
      case ModeMenu:
        p_Menu();
        break;
      case ModeBackToMenu:
        p_LoadMenu();
        p_PlaySFX(96, 1.0f, 1.0f, 0.0f);
        m_gameMode = ModeMenu;
        break;
      case ModeQuitDialog:
        p_OuyaQuit();
        break;
      case ModeClickToStart:
        p_WaitStart(0);
        break;
      case ModeInGame:
        p_Game();
        p_InGame();
        break;
      case ModeStartGame:
        p_LoadGame();
        break;
      default:
        break;
    }
    if (m_gameMode == ModeInGame && m_gameOver > 0) p_GameOver();
    if (m_gameMode == ModeMenu || m_gameMode == ModeBackToMenu) p_GameOver();

    if (m_gameMode == ModeMenu && (m_creditsOpen == 1 || m_creditsSlide > 0)) p_CreditBox();
    if (m_creditsOpen == 0 && m_creditsSlide > 0) m_creditsSlide -= 1;
    if (m_creditsOpen == 1 && m_creditsSlide < 30) m_creditsSlide += 1;
    if (m_gameMode == ModeMenu && m_badgesOpen == 1) p_BadgesBox();
    if (m_optionsOpen == 1 || m_optionsSlide > 0) {
      p_OptionBox();
      if (m_optionsOpen == 0 && m_optionsSlide > 0) m_optionsSlide -= 1;
      if (m_optionsOpen == 1 && m_optionsSlide < 30) m_optionsSlide += 1;
    }
  }
  if (m_loadStep > 0) p_Loader();

  if (nx_Game_iCadeControls == 1) {
    nx_Game_DrainCharacters(m_iCadeChar, [this](int character) {
      if (character < 0) return;
      if (character >= 'a' && character <= 'z') character -= 'a' - 'A';
      for (const nx_Game_ICadePair& pair : nx_Game_ICadePairs) {
        if (character == pair.press) {
          m_iCadeButtons[pair.button] = 2;
          return;
        }
        if (character == pair.release) {
          m_iCadeButtons[pair.button] = 0;
          return;
        }
      }
    });
  }
  for (int button = 0; button < nx_Game_GameButtons; ++button) {
    if (m_iCadeButtons[button] == 1) m_iCadeButtons[button] = 0;
  }
  if (nx_Game_OnScreenControls == 1 && (m_gameMode == ModeInGame || m_gameMode == ModeStartGame) &&
      nx_Game_iCadeControls == 0) {
    p_OnScreenControls();
  }
  if (nx_Game_AccelerometerControls == 1) {
    if (nx_Game_iCadeControls == 0) {
      p_TiltControl();
    } else {
      m_tiltX = 0.0f;
      m_tiltY = 0.0f;
      m_tiltSmoothX = 0.0f;
      m_tiltSmoothY = 0.0f;
    }
  }
  if (nx_Game_DebugMode == 1 && m_gameMode != ModeClickToStart) {
    p_SetSize(1.0f);
    p_SetRot(0.0f);
    p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
    String line =
        String(m_renderFpsAvg) + String(u":") + String(m_scaleX) + String(u",") + String(m_scaleY);
    float y = nx_Game_jscrh - 16.0f;
    if (nx_Game_AccelerometerControls == 1 && nx_Game_iCadeControls == 0) {
      y = nx_Game_jscrh * 0.5f;
    }
    p_Text(16.0f, y, line, 0.0f, 0.0f);
  }
  p_ShowBadges();
  return 0;
}

int c_MyApp::p_OnRender() {
  if (nx_Game_HasMusic == 1) m_jm->p_JM_Alive_R();
  nx_Game_MeterRate(m_renderLastMs, m_renderFps, m_renderFpsAvg);

  int deviceWidth = nx_graphics_DeviceWidth();
  int deviceHeight = nx_graphics_DeviceHeight();
  float width = static_cast<float>(deviceWidth);
  float height = static_cast<float>(deviceHeight);
  nx_graphics_SetColor(m_clsRed, m_clsGreen, m_clsBlue);
  nx_graphics_SetAlpha(m_clsAlpha);
  nx_graphics_DrawRect(-1.0f, -1.0f, width + 2.0f, height + 2.0f);
  nx_graphics_SetColor(255.0f, 255.0f, 255.0f);
  nx_graphics_SetAlpha(1.0f);

  // A new window size reloads every image for it; a game in progress ends in the menu.
  if (deviceWidth != m_screenWidth || deviceHeight != m_screenHeight) {
    if (m_gameMode == ModeInGame) {
      m_gameMode = ModeMenu;
      p_ReturnFromGame();
    }
    m_loadStep = 1;
    m_screenWidth = deviceWidth;
    m_screenHeight = deviceHeight;
  }

  // Layout: one virtual dimension is the design size, the other fits the window's shape.
  float overscan = nx_Game_overscan;
  m_scaleX = (width - 2.0f * overscan) / nx_Game_rawscrw;
  m_scaleY = (height - 2.0f * overscan) / nx_Game_rawscrh;
  m_fitAxis = m_scaleY > m_scaleX ? 2 : 1;
  float pixelsPerUnit;
  if (m_fitAxis == 2) {
    m_scaleX = m_scaleY;
    pixelsPerUnit = height / nx_Game_rawscrh;
  } else {
    m_scaleY = m_scaleX;
    pixelsPerUnit = width / nx_Game_rawscrw;
  }
  nx_Game_jscrw = width / pixelsPerUnit;
  nx_Game_jscrh = height / pixelsPerUnit;
  m_landscape = nx_Game_jscrh > nx_Game_jscrw ? 0 : 1;

  // Replay of the whole records the last update wrote.
  float overscanY = overscan * height / width;
  float scaleX = m_scaleX;
  float scaleY = m_scaleY;
  if (m_drawCount > 14) {
    for (m_i = 0; m_i < m_drawCount - 14; m_i += DrawRecordFloats) {
      const float* record = m_drawList.Data() + m_i;
      nx_graphics_SetAlpha(record[RecordAlpha]);
      nx_graphics_SetColor(record[RecordRed], record[RecordGreen], record[RecordBlue]);
      nx_graphics_SetBlend(record[RecordBlend] == 3.0f ? 1 : 0);
      float kind = record[RecordKind];
      float x = record[RecordX] * scaleX + overscan;
      float y = record[RecordY] * scaleY + overscanY;
      float sizeX = record[RecordScaleX] * scaleX;
      float sizeY = record[RecordScaleY] * scaleY;
      if (kind == KindRect) {
        nx_graphics_DrawRect(x, y, sizeX, sizeY);
      } else if (kind == KindOval) {
        nx_graphics_DrawEllipse(x, y, sizeX, sizeY);
      } else if (kind == KindLine) {
        nx_graphics_DrawLine(x, y, sizeX + overscan, sizeY + overscanY);
      } else if (kind > -1.0f) {
        int slot = nx_float_to_int_clamped(kind);
        if (slot < m_images.Length() && m_images[slot] != nullptr) {
          nx_graphics_DrawImage2(m_images[slot], x, y, record[RecordRotation], sizeX * m_imageScale,
                                 sizeY * m_imageScale,
                                 nx_float_to_int_clamped(record[RecordFrame]));
        }
      }
    }
  }
  return 0;
}

// A running game comes back paused, whichever way the focus went.
int c_MyApp::p_PauseOnFocusChange() {
  if (m_gameMode > 9) {
    m_paused = 1;
    m_pauseDir = 1;
    m_pauseY = nx_float_to_int_clamped(nx_Game_jscrh * 0.5f);
  } else {
    m_paused = 0;
    m_pauseDir = 0;
    m_pauseY = 0;
  }
  return 0;
}

int c_MyApp::p_iCade(int on) {
  if (on == 1) {
    nx_input_EnableKeyboard();
    nx_Game_iCadeControls = 1;
    // Keys typed before the switch are not iCade letters.
    nx_Game_DrainCharacters(m_iCadeChar, [](int) {});
  } else if (on == 0) {
    nx_input_DisableKeyboard();
    nx_Game_iCadeControls = 0;
    for (int button = 0; button < nx_Game_GameButtons; ++button) m_iCadeButtons[button] = 0;
  }
  return 0;
}

int c_MyApp::p_FullscreenFlip() {
  NxGlfwGame* host = NxGlfwGame::_glfwGame;
  if (host == nullptr) return 0;
  NxGlfwVideoMode* desktop = host->GetGlfwDesktopMode();
  m_fullscreen = 1 - m_fullscreen;
  if (m_fullscreen == 1) {
    host->SetGlfwWindow(desktop->width, desktop->height, desktop->red, desktop->green,
                        desktop->blue, 0, 0, 0, true);
  } else {
    host->SetGlfwWindow(640, 480, desktop->red, desktop->green, desktop->blue, 0, 0, 0, false);
  }
  return 0;
}
