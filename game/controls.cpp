// PLACEHOLDER: empty bodies until this area is written.
#include "game/my_app.h"

int c_MyApp::p_PlayKey(int, int, int) { return 0; }
int c_MyApp::p_PlayKeyAll(int, int) { return 0; }
int c_MyApp::p_AnalogueControl() { return 0; }
float c_MyApp::p_StickX(int, int) { return 0.0f; }
float c_MyApp::p_StickY(int, int) { return 0.0f; }
bool c_MyApp::p_Button(int, float, float, int) { return false; }
bool c_MyApp::p_Button2(float, float, int) { return false; }
bool c_MyApp::p_Button3(float, float, int) { return false; }
bool c_MyApp::p_Button0(int, float, float, int) { return false; }
bool c_MyApp::p_Touch(float, float, float, float) { return false; }
bool c_MyApp::p_Touch2(float) { return false; }
bool c_MyApp::p_MouseIn_Centered(float, float, float, float) { return false; }
int c_MyApp::p_OnScreenControls() { return 0; }
int c_MyApp::p_TiltControl() { return 0; }
