#include "screen/fonts.h"

#include <string_view>

namespace mazeblast {

const FontFile* fontFileFor(const FontSpec& spec) {
  const FontFile* found = nullptr;
  for (int i = 0; i < kFontFileCount; ++i) {
    const FontFile& f = kFontFiles[i];
    if (std::string_view(f.family) != spec.family) continue;
    if (!found || f.italic == spec.italic) found = &f;
  }
  return found;
}

}  // namespace mazeblast
