#include "screen/fonts.h"

#include <string_view>

namespace mazeblast {

const FontFile* fontFileFor(const FontSpec& font) {
  const FontFile* found = nullptr;
  for (int i = 0; i < kFontFileCount; ++i) {
    const FontFile& f = kFontFiles[i];
    if (std::string_view(f.family) != font.family) continue;
    if (!found || f.italic == font.italic) found = &f;
  }
  return found;
}

}  // namespace mazeblast
