// The game's application class: one object holding every field of the game, its methods
// spread over one file per area (frame, draw list, controls, field, effects, play, menus...).
#pragma once

#include "framework/app.h"
#include "framework/audio.h"
#include "framework/image.h"
#include "runtime/array.h"
#include "runtime/string.h"

class c_JMPlayer;

// ---------------------------------------------------------------------------------------------
// Types

class c_MyApp : public c_App {
 public:
  // Marks an optional argument as not given, and the coordinates of a finger that is up.
  static constexpr float Absent = -3717.0f;
  static constexpr int AbsentInt = -3717;
  // Angles are in degrees; this is the game's own rounding of the conversion.
  static constexpr float RadiansPerDegree = 0.017453292f;

  // Draw records: 15 floats each, in a list that takes at most 2,499 records an update.
  static constexpr int DrawRecordFloats = 15;
  static constexpr int DrawListFloats = 37500;
  static constexpr int DrawListLastStart = 37484;
  static constexpr int RecordKind = 0;
  static constexpr int RecordX = 1;
  static constexpr int RecordY = 2;
  static constexpr int RecordRotation = 3;
  static constexpr int RecordScaleX = 4;
  static constexpr int RecordScaleY = 5;
  static constexpr int RecordFrame = 6;
  static constexpr int RecordAlpha = 7;
  static constexpr int RecordRed = 10;
  static constexpr int RecordGreen = 11;
  static constexpr int RecordBlue = 12;
  static constexpr int RecordBlend = 13;
  static constexpr float KindRect = -3717.0f;
  static constexpr float KindOval = -3716.0f;
  static constexpr float KindLine = -3715.0f;

  // Grid cells: 32 x 32 cells of ten floats, cell (x, y) at (y * 32 + x) * 10.
  static constexpr int GridSize = 32;
  static constexpr int CellFloats = 10;
  static constexpr int CellStrength = 0;
  static constexpr int CellFlashRed = 1;
  static constexpr int CellFlashGreen = 2;
  static constexpr int CellFlashBlue = 3;
  static constexpr int CellItem = 6;
  static constexpr int CellAppear = 7;
  static constexpr int CellGlow = 8;

  // Entities in m_players, 100 floats apart: entity e at 100 * e.
  static constexpr int EntityStride = 100;
  static constexpr int LeftPaddle = 1;
  static constexpr int RightPaddle = 2;
  static constexpr int Ball = 3;
  static constexpr int EntityPresent = 0;
  static constexpr int EntityX = 1;  // the paddles' offset from their home position
  static constexpr int EntityY = 2;
  static constexpr int EntityVelocityX = 3;
  static constexpr int EntityVelocityY = 4;
  static constexpr int EntityTargetY = 4;  // the paddles' use of the ball's vertical velocity

  // Particles, ripples and stars: records of ten floats.
  static constexpr int EffectFloats = 10;
  static constexpr int ParticleKind = 0;
  static constexpr int ParticleX = 1;
  static constexpr int ParticleY = 2;
  static constexpr int ParticleVelocityX = 3;
  static constexpr int ParticleVelocityY = 4;
  static constexpr int ParticleRotation = 5;
  static constexpr int ParticleSpin = 6;
  static constexpr int ParticleLife = 7;
  static constexpr int ParticleColour = 8;
  static constexpr int ParticleValue = 9;  // the spark's frame, or the number shown
  static constexpr int RippleActive = 0;
  static constexpr int RippleX = 1;
  static constexpr int RippleY = 2;
  static constexpr int RippleRadius = 3;
  static constexpr int RippleSpeed = 4;
  static constexpr int RippleIntensity = 5;
  static constexpr int RippleFade = 6;
  static constexpr int RippleRed = 7;
  static constexpr int RippleGreen = 8;
  static constexpr int RippleBlue = 9;
  static constexpr int RippleCount = 50;

  // Image slots of the draw list.
  static constexpr int SlotItems = 1;
  static constexpr int SlotBadges = 80;
  static constexpr int SlotFont = 90;
  static constexpr int SlotTestcard = 91;
  static constexpr int SlotStudioLogo = 93;
  static constexpr int SlotDpad = 94;
  static constexpr int SlotButtons = 95;
  static constexpr int SlotParts = 96;
  static constexpr int SlotIcons = 97;
  static constexpr int SlotLogo = 98;
  static constexpr int SlotMenu = 99;

  // Option slots.
  static constexpr int OptionSound = 5;
  static constexpr int OptionPadX = 10;
  static constexpr int OptionPadHeight = 11;
  static constexpr int OptionPadSize = 12;
  static constexpr int OptionTouchStick = 13;
  static constexpr int OptionOverscan = 14;
  static constexpr int OptionCount = 25;

  // Game modes.
  static constexpr int ModeMenu = 1;
  static constexpr int ModeBackToMenu = 2;
  static constexpr int ModeQuitDialog = 4;
  static constexpr int ModeClickToStart = 5;
  static constexpr int ModeInGame = 10;
  static constexpr int ModeStartGame = 11;

  // Frame: the mode, the window's layout as a virtual screen, the rate meters, the pointer and
  // touches in virtual units, the latches that make a held input act once, the virtual
  // buttons the iCade and on-screen pad set, and which overlay boxes are open.
  int m_gameMode = 0;
  int m_fullscreen = 0;
  int m_screenWidth = 0;
  int m_screenHeight = 0;
  float m_scaleX = 0.0f;
  float m_scaleY = 0.0f;
  int m_fitAxis = 0;
  int m_landscape = 0;
  int m_updateLastMs = 0;
  int m_updateFps = 0;
  int m_updateFpsAvg = 0;
  int m_renderLastMs = 0;
  int m_renderFps = 0;
  int m_renderFpsAvg = 0;
  int m_mouseX = 0;
  int m_mouseY = 0;
  int m_oldMouseX = 0;
  int m_oldMouseY = 0;
  int m_wasMouseDown = 0;
  int m_pointerDown = 0;
  int m_mouseHit = 0;
  Array<int> m_touchDown;
  Array<int> m_touchX;
  Array<int> m_touchY;
  int m_pointerLatch = 0;
  int m_keyLatch = 0;
  int m_clickDelay = 0;
  Array<int> m_iCadeButtons;
  int m_iCadeChar = 0;
  int m_creditsOpen = 0;
  int m_optionsOpen = 0;
  int m_badgesOpen = 0;
  int m_creditsSlide = 0;
  int m_optionsSlide = 0;
  // The shared loop counter of the loops that the game's rules name it in.
  int m_i = 0;
  c_JMPlayer* m_jm = nullptr;

  // Controls: the steering vector of this update and the part held keys built up, the touch
  // stick's anchor, the on-screen pad's place and pinch, and the tilt readings.
  float m_stickX = 0.0f;
  float m_stickY = 0.0f;
  float m_keyStickX = 0.0f;
  float m_keyStickY = 0.0f;
  int m_anchorX = 0;
  int m_anchorY = 0;
  int m_padX = 0;
  int m_padY = 0;
  float m_padScale = 0.0f;
  int m_pinchActive = 0;
  int m_pinchLast = 0;
  float m_tiltRestX = 0.0f;
  float m_tiltRestY = 0.0f;
  float m_tiltX = 0.0f;
  float m_tiltY = 0.0f;
  float m_tiltSmoothX = 0.0f;
  float m_tiltSmoothY = 0.0f;

  // Field: the block grid, its visible bounds, the item waiting to be placed, and whether the
  // ball has bounced off a block in this update.
  Array<float> m_grid;
  int m_gridMinX = 0;
  int m_gridMaxX = 0;
  int m_gridMinY = 0;
  int m_gridMaxY = 0;
  int m_pendingItem = 0;
  int m_blockHitThisUpdate = 0;

  // Effects: the particle, ripple and star pools.
  Array<float> m_particles;
  int m_particleCount = 0;
  Array<float> m_ripples;
  Array<float> m_stars;
  int m_starCount = 0;

  // Play: paddles and ball, the running game's counters and timers, and the score lists.
  Array<float> m_players;
  int m_gameType = 0;
  int m_score = 0;
  int m_shownScore = 0;
  int m_combo = 0;
  int m_comboTime = 0;
  float m_comboTimer = 0.0f;
  int m_volley = 0;
  int m_powerTimer = 0;
  int m_reverseTimer = 0;
  int m_nextPaddle = 0;
  int m_itemCountdown = 0;
  int m_itemsChosen = 0;
  int m_ballOut = 0;
  int m_gameOver = 0;
  int m_gameOverTimer = 0;
  int m_paused = 0;
  Array<int> m_highScores;

  // Title menu and option box: the menu's slide-in, the carousel of game types and the cog,
  // and the option box's highlighted row and own latches.
  int m_menuSlide = 0;
  int m_menuSel = 0;
  float m_menuPos = 0.0f;
  float m_menuVel = 0.0f;
  float m_menuEased = 0.0f;
  float m_menuDrag = 0.0f;
  int m_menuSnap = 0;
  float m_cogAngle = 0.0f;
  int m_optRow = 0;
  int m_optKeyLatch = 0;
  int m_optPtrLatch = 0;

  // Pause menu, credits and start screens: the pause panel's motion and highlight, the
  // credits scroller, and the loading spinner.
  int m_pauseDir = 0;
  int m_pauseY = 0;
  int m_pauseSel = 0;
  float m_creditsScroll = 0.0f;
  int m_creditsLine = 0;
  int m_waitSize = 0;
  int m_spinAngle = 0;

  // Badges: the earned flags, the banner slots, and the badges panel's scroll.
  Array<bool> m_badges;
  Array<int> m_badgePopupId;
  Array<int> m_badgePopupTimer;
  float m_badgeScroll = 0.0f;
  float m_badgeScrollShown = 0.0f;

  // Saved state: every persisted option by slot.
  Array<int> m_options;
  // An option kept between 1 and 8 that no screen of this configuration reads.
  static constexpr int OptionOneToEight = 15;

  // Draw list and loader: the draw state copied into every record, the list itself, the
  // image slots with their frame sizes, the resolution level, the loader's step and the
  // window's clear colour.
  float m_drawScaleX = 0.0f;
  float m_drawScaleY = 0.0f;
  float m_drawRot = 0.0f;
  float m_drawRed = 0.0f;
  float m_drawGreen = 0.0f;
  float m_drawBlue = 0.0f;
  float m_drawAlpha = 0.0f;
  int m_drawBlend = 0;
  Array<float> m_drawList;
  int m_drawCount = 0;
  Array<c_Image*> m_images;
  Array<int> m_imageInfo;
  int m_fontSlot = 0;
  int m_hdLevel = 0;
  float m_imageScale = 0.0f;
  int m_loadStep = 0;
  int m_logoJinglePlayed = 0;
  float m_clsRed = 0.0f;
  float m_clsGreen = 0.0f;
  float m_clsBlue = 0.0f;
  float m_clsAlpha = 0.0f;

  // Sound effects: the loaded samples and the ring of channels they take turns on.
  Array<c_Sound*> m_sfx;
  Array<int> m_sfxChannels;
  int m_sfxNext = 0;

  c_MyApp();
  // Registers the application (c_App::m_new).
  c_MyApp* m_new();
  void mark() override;

  // Frame (frame.cpp).
  int p_OnCreate() override;
  int p_OnSuspend() override;
  int p_OnResume() override;
  int p_OnUpdate() override;
  int p_OnRender() override;
  int p_iCade(int on);
  int p_FullscreenFlip();
  // The pause panel at once for a running or starting game on suspend and resume.
  int p_PauseOnFocusChange();

  // Draw list and loader (draw_list.cpp).
  int p_ResetDraw();
  int p_CLS2D(float red, float green, float blue, float alpha);
  int p_SetSize(float scaleX, float scaleY = Absent);
  int p_SetRot(float angle);
  int p_SetCol(float red, float green, float blue, float alpha = Absent);
  int p_Alpha(float alpha);
  int p_DrawImg(int slot, float x, float y, float frame);
  int p_Rect(float x, float y, float width, float height);
  int p_Oval(float x, float y, float radiusX, float radiusY);
  int p_Text(float x, float y, String text, float alignX, float alignY);
  String p_rstr(int value, int width, String pad);
  int p_LoadImg(int slot, String path, int width, int height, int frames, int flags);
  int p_LoadFont(int slot, String path, int advance, int lineHeight);
  int p_Reload();
  int p_Loader();

  // Sound effects (sound_effects.cpp).
  int p_LoadSFX(int effect);
  int p_PlaySFX(int effect, float rate, float volume, float pan);
  // Rate 1 and pan 0.
  int p_PlaySFX2(int effect, float volume);

  // Saved state (saved_state.cpp).
  int p_Save();
  int p_Load();

  // Controls (controls.cpp).
  int p_PlayKey(int button, int mode, int player);
  int p_PlayKeyAll(int button, int mode = 1);
  int p_AnalogueControl();
  float p_StickX(int stick, int pad);
  float p_StickY(int stick, int pad);
  bool p_Button(int image, float x, float y, int frame);
  // The "common/icons" sheet (slot 97).
  bool p_Button2(float x, float y, int frame);
  // The "common/Buttons" sheet (slot 95).
  bool p_Button3(float x, float y, int frame);
  bool p_Button0(int image, float x, float y, int frame);
  bool p_Touch(float x, float y, float width, float height);
  // A menu row: x 24, 180 wide and 24 high.
  bool p_Touch2(float y);
  bool p_MouseIn_Centered(float centreX, float centreY, float width, float height);
  int p_OnScreenControls();
  int p_TiltControl();

  // Field (field.cpp).
  int p_DoBGGrid();
  int p_HitGrid(int x, int y);
  int p_FixGrid();
  int p_AddBlocks();
  int p_SmashGrid();
  int p_Something();
  int p_Gimme(int amount, float x, float y);
  int p_Ink(int colour, int brightness);
  // The game start's clear grid with its walls.
  int p_BuildWalls();
  // The side of a cell: the larger screen dimension holds exactly 32 of them.
  float p_CellSize();
  // The screen position of the grid's top-left corner (the grid is centred on the screen).
  float p_GridLeft();
  float p_GridTop();
  // The first and last columns and rows whose cell centres lie on screen.
  int p_FindVisibleBounds();

  // Effects (effects.cpp).
  int p_AddParticle(int kind, float x, float y, float velocityX, float velocityY, int value,
                    int colour, int life);
  int p_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed);
  int p_FreeParticle();
  int p_ResetParticles(int count);
  int p_DoParticles();
  int p_AddRipple(float x, float y, int speed, int red, int green, int blue);
  // Speed 4.
  int p_AddRipple2(float x, float y, int red, int green, int blue);
  // Red 255 and blue 0.
  int p_AddRipple3(float x, float y, int speed, int green);
  // Red 0 and blue 255.
  int p_AddRipple4(float x, float y, int speed, int green);
  int p_DoRipples();
  int p_ResetStars(int count);

  // Play (play.cpp).
  int p_LoadGame();
  int p_NextLife();
  int p_Game();
  int p_InGame();
  int p_GameOver();
  // Enters the finished game's score in the lists and saves (the way back to the menu).
  int p_LoadMenu();
  // Entering the menu from a game, by any path: no pause panel left up, no tune playing.
  int p_ReturnFromGame();
  String p_MyNth();
  int p_Rand(float low, float high);
  int p_GC_PostScore(int score, int board);

  // Title menu (title_menu.cpp) and option box (option_box.cpp).
  int p_Menu();
  int p_OptionBox();

  // Pause menu (pause_menu.cpp).
  int p_PauseMenu();

  // Credits box and quit dialog (credits.cpp).
  int p_CreditBox();
  int p_OuyaQuit();

  // Loading and "Click to Start" screens (start_screens.cpp).
  int p_WaitStart(int mode);

  // Badges (badges.cpp).
  String p_BadgeID(int badge);
  String p_BadgeName(int badge);
  String p_BadgeDetail(int badge);
  // Earns a badge: sets its flag and shows its banner in the lowest free slot.
  int p_AwardBadge(int badge);
  int p_ShowBadges();
  int p_BadgesBox();
  int p_GC_Badges();
};
