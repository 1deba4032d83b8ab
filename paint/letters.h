// The game's faces set in lines of letters by stb_truetype, compiled in with the game: every
// edition, compiler and CPU makes the same pixels, whatever fonts the machine has. Only the
// game's own compiled-in font bytes are ever read with it.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "screen/fonts.h"

struct stbtt_fontinfo;

namespace mazeblast {

// A line set in one face at one size: the letters' coverage (0 to 255), in a box placed from
// the line's start and its top.
struct SetLine {
  int left = 0, top = 0, width = 0, height = 0;  // the coverage's box
  std::vector<std::uint8_t> coverage;            // width x height, row after row
  int advance = 0;                               // how far the line runs
  int ascent = 0;                                // from the line's top to its baseline
  int lineHeight = 0;                            // ascent to descent
  int markFrom = 0, markTo = 0;                  // where the marked letter begins and ends
};

class Face {
 public:
  // Reads a compiled-in face; ok() says whether it could.
  explicit Face(const FontFile& file);
  ~Face();
  Face(const Face&) = delete;
  Face& operator=(const Face&) = delete;

  bool ok() const { return ok_; }
  // Sets `text` with the em `pixels` high, kerned; the letter at index `mark` measured for
  // its underline (none where -1). Each byte is a character (the game writes ASCII).
  SetLine set(std::string_view text, float pixels, int mark = -1) const;

 private:
  std::unique_ptr<stbtt_fontinfo> info_;
  bool ok_ = false;
};

}  // namespace mazeblast
