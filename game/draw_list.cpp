// PLACEHOLDER: empty bodies until this area is written.
#include "game/my_app.h"

int c_MyApp::p_ResetDraw() { return 0; }
int c_MyApp::p_CLS2D(float, float, float, float) { return 0; }
int c_MyApp::p_SetSize(float, float) { return 0; }
int c_MyApp::p_SetRot(float) { return 0; }
int c_MyApp::p_SetCol(float, float, float, float) { return 0; }
int c_MyApp::p_Alpha(float) { return 0; }
int c_MyApp::p_DrawImg(int, float, float, float) { return 0; }
int c_MyApp::p_Rect(float, float, float, float) { return 0; }
int c_MyApp::p_Oval(float, float, float, float) { return 0; }
int c_MyApp::p_Text(float, float, String, float, float) { return 0; }
String c_MyApp::p_rstr(int, int, String) { return String(); }
int c_MyApp::p_LoadImg(int, String, int, int, int, int) { return 0; }
int c_MyApp::p_LoadFont(int, String, int, int) { return 0; }
int c_MyApp::p_Reload() { return 0; }
int c_MyApp::p_Loader() { return 0; }
