// PLACEHOLDER: empty bodies until this area is written.
#include "game/my_app.h"

int c_MyApp::p_AddParticle(int, float, float, float, float, int, int, int) { return 0; }
int c_MyApp::p_ThrowParticle(float, float, int, int, float, float) { return 0; }
int c_MyApp::p_FreeParticle() { return 0; }
int c_MyApp::p_ResetParticles(int) { return 0; }
int c_MyApp::p_DoParticles() { return 0; }
int c_MyApp::p_AddRipple(float, float, int, int, int, int) { return 0; }
int c_MyApp::p_AddRipple2(float, float, int, int, int) { return 0; }
int c_MyApp::p_AddRipple3(float, float, int, int) { return 0; }
int c_MyApp::p_AddRipple4(float, float, int, int) { return 0; }
int c_MyApp::p_DoRipples() { return 0; }
int c_MyApp::p_ResetStars(int) { return 0; }
