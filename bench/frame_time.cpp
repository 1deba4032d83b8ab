// How long one frame takes to draw and show in a window of a given size, with the game's own
// window set-up: its picture filling the window (drawn at the window's resolution between
// whole-number scales) or by whole numbers only. Run it under xvfb-run.
//   frame_time [WIDTHxHEIGHT] [FRAMES] [whole]
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "desktop/render.h"
#include "game/Frmbomb.h"
#include "scene/runner.h"

int main(int argc, char** argv) {
  using namespace mazeblast;
  int width = 2547, height = 1695;
  if (argc > 1 && std::sscanf(argv[1], "%dx%d", &width, &height) != 2) return 2;
  const int frames = argc > 2 ? std::atoi(argv[2]) : 300;
  const bool whole = argc > 3 && std::string(argv[3]) == "whole";
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* w = SDL_CreateWindow("frame time", 0, 0, width, height, SDL_WINDOW_SHOWN);
  SDL_Renderer* r = SDL_CreateRenderer(w, -1, SDL_RENDERER_ACCELERATED);
  if (!r) r = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
  SDL_RendererInfo info;
  SDL_GetRendererInfo(r, &info);
  auto game = std::make_unique<Frmbomb>();
  game->Form_Load();
  game->Cmdstart_Click();
  game->level = 10;
  advanceTo(*game, 4500 * 1000);
  std::string error;
  Painter painter;
  if (!painter.ready(&error)) return 1;
  WindowPicture picture(r, painter, whole);
  std::vector<double> ms;
  for (int i = 0; i < frames; ++i) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    game->Tmr2_Timer();  // something moves every frame
    const auto t0 = std::chrono::steady_clock::now();
    picture.show(*game);
    ms.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("renderer %s, %dx%d, %s at %.3f: median %.2f ms, p99 %.2f ms per frame\n", info.name,
              width, height, whole ? "whole numbers" : "filled", painter.scale().value(), ms[ms.size() / 2],
              ms[ms.size() * 99 / 100]);
  SDL_Quit();
  return 0;
}
