// How long one frame takes to draw and present at a given scale, with the game's own window
// set-up: its picture drawn at 849 x 565 and scaled up by SDL. Run it under xvfb-run.
//   frame_time [SCALE] [FRAMES]
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
  const int scale = argc > 1 ? std::atoi(argv[1]) : 3;
  const int frames = argc > 2 ? std::atoi(argv[2]) : 300;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* w = SDL_CreateWindow("frame time", 0, 0, 849 * scale, 565 * scale, SDL_WINDOW_SHOWN);
  SDL_Renderer* r = SDL_CreateRenderer(w, -1, SDL_RENDERER_ACCELERATED);
  if (!r) r = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
  SDL_RendererInfo info;
  SDL_GetRendererInfo(r, &info);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_RenderSetLogicalSize(r, 849, 565);
  SDL_RenderSetIntegerScale(r, SDL_TRUE);
  auto game = std::make_unique<Frmbomb>();
  game->Form_Load();
  game->Cmdstart_Click();
  game->level = 10;
  advanceTo(*game, 4500 * 1000);
  std::string error;
  Painter painter(r);
  if (!painter.load(&error)) return 1;
  // With "target", the picture is drawn once at its own size, then scaled in one copy.
  const bool viaTarget = argc > 3 && std::string(argv[3]) == "target";
  SDL_Texture* picture =
      SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, 849, 565);
  std::vector<double> ms;
  for (int i = 0; i < frames; ++i) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    game->Tmr2_Timer();  // something moves every frame
    const auto t0 = std::chrono::steady_clock::now();
    if (viaTarget) {
      SDL_SetRenderTarget(r, picture);
      painter.paint(*game);
      SDL_SetRenderTarget(r, nullptr);
      SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
      SDL_RenderClear(r);
      SDL_RenderCopy(r, picture, nullptr, nullptr);
    } else {
      painter.paint(*game);
    }
    SDL_RenderPresent(r);
    ms.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%s", viaTarget ? "via target, " : "");
  std::printf("renderer %s, scale %d (%dx%d): median %.2f ms, p99 %.2f ms per frame\n", info.name,
              scale, 849 * scale, 565 * scale, ms[ms.size() / 2], ms[ms.size() * 99 / 100]);
  SDL_Quit();
  return 0;
}
