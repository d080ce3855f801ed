// The page's entry: the whole run belongs to the web host.
#include "host/web/web_game.h"

int main(int argc, char** argv) {
  return NxWebGame::Main(argc, const_cast<const char**>(argv));
}
