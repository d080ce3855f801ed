// PLACEHOLDER: empty bodies until this area is written.
#include "game/my_app.h"

int c_MyApp::p_CreditBox() { return 0; }
int c_MyApp::p_OuyaQuit() { return 0; }
