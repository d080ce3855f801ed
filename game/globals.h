// The game's build-time switches and screen globals, set by nxInit, and the credits text.
#pragma once

#include "runtime/array.h"
#include "runtime/string.h"

// ---------------------------------------------------------------------------------------------
// Globals

// Build-time switches: 0 in this desktop configuration, and nothing changes them.
extern int nx_Game_isOuya;
extern int nx_Game_OnScreenControls;
extern int nx_Game_AccelerometerControls;
extern int nx_Game_HasMusic;

extern int nx_Game_DebugMode;
extern int nx_Game_iCadeControls;
// Pixels kept free at each edge of the window.
extern float nx_Game_overscan;
// The design size of the screen, and the virtual screen derived from the window size.
extern float nx_Game_rawscrw;
extern float nx_Game_rawscrh;
extern float nx_Game_jscrw;
extern float nx_Game_jscrh;
extern Array<String> nx_Game_CreditText;

// ---------------------------------------------------------------------------------------------
// Functions

// The 52 credits lines: a blank first line, sections separated by blank and "-=-=-" lines,
// and "End" last.
Array<String> nx_Game_MakeCreditText();
// Greys the credits array; registered as a collector root by nxInit.
void nx_Game_MarkRoots();
// Whether the host has somewhere to quit to: a desktop does, a web page does not.
bool nx_Game_CanQuit();
