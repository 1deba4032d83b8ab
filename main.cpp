// RMO Mazeblast: opens the window and hands control to its event loop.
#include "screen/window.h"

int main(int, char**) {
  return mazeblast::runGame();
}
