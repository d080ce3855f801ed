// PLACEHOLDER: empty bodies until this area is written.
#include "game/my_app.h"

int c_MyApp::p_Save() { return 0; }
int c_MyApp::p_Load() { return 0; }
