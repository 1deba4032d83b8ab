// The game's own fonts, compiled in (tools/embed_fonts.py cuts them from Debian's font
// packages at build time): the faces that stand for the layout's "Arial" and "Arial Black",
// the same in every edition whatever fonts the machine has. Nothing asks the machine for one.
#pragma once

#include <cstddef>

#include "screen/elements.h"

namespace mazeblast {

struct FontFile {
  const char* family;  // as the layout names it
  int weight;
  bool italic;
  const unsigned char* bytes;
  std::size_t size;
};

extern const FontFile kFontFiles[];
extern const int kFontFileCount;

// The face a label's font is set in: the family's, the italic one where it is asked for and
// the family has one. Null for a family the game has no face for.
const FontFile* fontFileFor(const FontSpec& font);

}  // namespace mazeblast
