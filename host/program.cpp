// The process's run: GLFW start-up, the runtime's start-up, the main loop and the end.
#include "host/program.h"

// GLFW_INCLUDE_NONE: only start-up and shutdown are needed here.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cstdlib>

#include "host/glfw_game.h"
#include "host/joystick.h"
#include "runtime/errors.h"
#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Globals

int argc = 0;
const char** argv = nullptr;

namespace {

// Gamepad mappings for pads GLFW's own database does not know, in GLFW's mapping format,
// beside the data folder and the state file.
const char nx_program_gamepadMappingsPath[] = "./gamecontrollerdb.txt";

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int nx_std_main(int argumentCount, const char** arguments) {
  argc = argumentCount;
  argv = arguments;
  nx_install_signal_handlers();
  gc_init1();
  nxInit();
  gc_init2();
  nxMain();
  return 0;
}

int NxZarnikGame::Main(int argumentCount, const char** arguments) {
  // GLFW 2 reported no hats; as extra buttons they would show up where the game expects none.
  glfwInitHint(GLFW_JOYSTICK_HAT_BUTTONS, GLFW_FALSE);
  if (glfwInit() != GLFW_TRUE) {
    nxPrint(String(u"glfwInit failed"));
    std::exit(-1);
  }
  nx_joystick_LoadMappings(nx_program_gamepadMappingsPath);
  // The one host game object lives until the process ends.
  NxZarnikGame* game = new NxZarnikGame();
  try {
    nx_std_main(argumentCount, arguments);
    if (game->Delegate() != nullptr) game->Run();
  } catch (ThrowableObject* exception) {
    glfwTerminate();
    game->Die(exception);
  }
  glfwTerminate();
  return 0;
}
