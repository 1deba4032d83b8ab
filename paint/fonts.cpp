#include "screen/fonts.h"
#include "paint/painter.h"

namespace mazeblast {

TTF_Font* openFont(const FontSpec& face, std::string* error) {
  if (!TTF_WasInit() && TTF_Init() != 0) {
    *error = std::string("cannot start the font renderer: ") + TTF_GetError();
    return nullptr;
  }
  const FontFile* file = fontFileFor(face);
  // Sizes are pixels of the em: opened at 72 dpi, where a point is a pixel.
  TTF_Font* font =
      file ? TTF_OpenFontRW(SDL_RWFromConstMem(file->bytes, static_cast<int>(file->size)), 1,
                            face.pixels)
           : nullptr;
  if (!font)
    *error = std::string("cannot open the game's font for \"") + face.family +
             "\": " + (file ? TTF_GetError() : "none compiled in");
  return font;
}

}  // namespace mazeblast
