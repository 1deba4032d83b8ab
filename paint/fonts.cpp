#include <fontconfig/fontconfig.h>

#include "paint/painter.h"

namespace mazeblast {

TTF_Font* openFont(const FontSpec& face, std::string* error) {
  if (!TTF_WasInit() && TTF_Init() != 0) {
    *error = std::string("cannot start the font renderer: ") + TTF_GetError();
    return nullptr;
  }
  FcPattern* want = FcPatternCreate();
  FcPatternAddString(want, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.family));
  FcPatternAddInteger(want, FC_WEIGHT, FcWeightFromOpenType(face.weight));
  FcPatternAddInteger(want, FC_SLANT, face.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(want, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, want, FcMatchPattern);
  FcDefaultSubstitute(want);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(nullptr, want, &result);
  FcPatternDestroy(want);
  TTF_Font* font = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  if (found && FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) {
    FcPatternGetInteger(found, FC_INDEX, 0, &index);
    // Sizes are pixels, so open at 72 dpi where a point is a pixel.
    font = TTF_OpenFontIndex(reinterpret_cast<const char*>(file), face.pixels, index);
  }
  if (found) FcPatternDestroy(found);
  if (!font)
    *error = std::string("no usable font for \"") + face.family +
             "\" (install fonts-liberation2 or fonts-dejavu-core)";
  return font;
}

}  // namespace mazeblast
