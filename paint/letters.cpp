#include "paint/letters.h"

// The one rasterizer of letters, compiled in here with the game and private to it (never
// Debian's libstb, which would make the libretro core depend on it).
#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb_truetype.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace mazeblast {

Face::Face(const FontFile& file) : info_(std::make_unique<stbtt_fontinfo>()) {
  const int offset = stbtt_GetFontOffsetForIndex(file.bytes, 0);
  ok_ = offset >= 0 && stbtt_InitFont(info_.get(), file.bytes, offset) != 0;
}

Face::~Face() = default;

SetLine Face::set(std::string_view text, float pixels, int mark) const {
  SetLine line;
  if (!ok_) return line;
  const stbtt_fontinfo* info = info_.get();
  const float scale = stbtt_ScaleForMappingEmToPixels(info, pixels);
  int ascent = 0, descent = 0, gap = 0;
  stbtt_GetFontVMetrics(info, &ascent, &descent, &gap);
  // Whole pixels above and below the baseline, rounded outwards as font renderers do.
  line.ascent = static_cast<int>(std::ceil(static_cast<float>(ascent) * scale));
  line.lineHeight = line.ascent + static_cast<int>(std::ceil(static_cast<float>(-descent) * scale));

  // Each letter's place on the line, kerned; the pen keeps its fraction of a pixel.
  struct Placed {
    int glyph;
    float x;
  };
  std::vector<Placed> placed;
  placed.reserve(text.size());
  float pen = 0;
  int previous = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int glyph = stbtt_FindGlyphIndex(info, static_cast<unsigned char>(text[i]));
    if (previous)
      pen += scale * static_cast<float>(stbtt_GetGlyphKernAdvance(info, previous, glyph));
    if (static_cast<int>(i) == mark) line.markFrom = static_cast<int>(std::lround(pen));
    placed.push_back({glyph, pen});
    int advance = 0, bearing = 0;
    stbtt_GetGlyphHMetrics(info, glyph, &advance, &bearing);
    pen += scale * static_cast<float>(advance);
    if (static_cast<int>(i) == mark) line.markTo = static_cast<int>(std::lround(pen));
    previous = glyph;
  }
  line.advance = static_cast<int>(std::lround(pen));

  // The box around every letter's ink, from the line's start and top.
  struct Ink {
    int x0, y0, x1, y1;
    float shift;
  };
  std::vector<Ink> inks;
  inks.reserve(placed.size());
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  for (const Placed& p : placed) {
    const float whole = std::floor(p.x);
    Ink ink{};
    ink.shift = p.x - whole;
    stbtt_GetGlyphBitmapBoxSubpixel(info, p.glyph, scale, scale, ink.shift, 0, &ink.x0, &ink.y0,
                                    &ink.x1, &ink.y1);
    const int at = static_cast<int>(whole);
    ink.x0 += at;
    ink.x1 += at;
    ink.y0 += line.ascent;
    ink.y1 += line.ascent;
    inks.push_back(ink);
    if (ink.x1 <= ink.x0 || ink.y1 <= ink.y0) continue;  // a space
    left = std::min(left, ink.x0);
    top = std::min(top, ink.y0);
    right = std::max(right, ink.x1);
    bottom = std::max(bottom, ink.y1);
  }
  if (left >= right) return line;
  line.left = left;
  line.top = top;
  line.width = right - left;
  line.height = bottom - top;
  line.coverage.assign(static_cast<std::size_t>(line.width) * line.height, 0);

  // Letters that touch add their coverage, as their areas do.
  std::vector<std::uint8_t> letter;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    const Ink& ink = inks[i];
    const int w = ink.x1 - ink.x0, h = ink.y1 - ink.y0;
    if (w <= 0 || h <= 0) continue;
    letter.assign(static_cast<std::size_t>(w) * h, 0);
    stbtt_MakeGlyphBitmapSubpixel(info, letter.data(), w, h, w, scale, scale, ink.shift, 0,
                                  placed[i].glyph);
    for (int y = 0; y < h; ++y) {
      std::uint8_t* to =
          &line.coverage[static_cast<std::size_t>(ink.y0 - top + y) * line.width + (ink.x0 - left)];
      const std::uint8_t* from = &letter[static_cast<std::size_t>(y) * w];
      for (int x = 0; x < w; ++x) to[x] = static_cast<std::uint8_t>(std::min(255, to[x] + from[x]));
    }
  }
  return line;
}

}  // namespace mazeblast
