// The process entry: the whole run belongs to the host.
#include "host/glfw_game.h"

int main(int argc, char** argv) {
  NxZarnikGame::Main(argc, const_cast<const char**>(argv));
  return 0;
}
