// PLACEHOLDER: empty bodies until this area is written.
#include "game/my_app.h"

int c_MyApp::p_LoadSFX(int) { return 0; }
int c_MyApp::p_PlaySFX(int, float, float, float) { return 0; }
int c_MyApp::p_PlaySFX2(int, float) { return 0; }
