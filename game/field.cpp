// PLACEHOLDER: empty bodies until this area is written.
#include "game/my_app.h"

int c_MyApp::p_DoBGGrid() { return 0; }
int c_MyApp::p_HitGrid(int, int) { return 0; }
int c_MyApp::p_FixGrid() { return 0; }
int c_MyApp::p_AddBlocks() { return 0; }
int c_MyApp::p_SmashGrid() { return 0; }
int c_MyApp::p_Something() { return 0; }
int c_MyApp::p_Gimme(int, float, float) { return 0; }
int c_MyApp::p_Ink(int, int) { return 0; }
int c_MyApp::p_BuildWalls() { return 0; }
