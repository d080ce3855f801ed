// PLACEHOLDER: empty bodies until this area is written.
#include "game/my_app.h"

int c_MyApp::p_LoadGame() { return 0; }
int c_MyApp::p_NextLife() { return 0; }
int c_MyApp::p_Game() { return 0; }
int c_MyApp::p_InGame() { return 0; }
int c_MyApp::p_GameOver() { return 0; }
int c_MyApp::p_LoadMenu() { return 0; }
String c_MyApp::p_MyNth() { return String(); }
int c_MyApp::p_Rand(float, float) { return 0; }
int c_MyApp::p_GC_PostScore(int, int) { return 0; }
int c_MyApp::p_ReturnFromGame() { return 0; }
