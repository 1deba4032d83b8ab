// The one painter: the element table painted in the drawing order into a picture in memory,
// for every edition alike (the window's texture, the page's canvas, the libretro core's
// frames, the sim's PNGs). No platform in it: letters come from the game's own faces through
// the rasterizer compiled in with it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "paint/image.h"
#include "paint/letters.h"
#include "scene/damage.h"
#include "screen/elements.h"

namespace mazeblast {

class Frmbomb;

class Painter {
 public:
  // The game's own picture, at scale 1.
  static constexpr int kWidth = 849, kHeight = 565;

  Painter();
  ~Painter();
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  // False, with the reason, where a picture or a face compiled in cannot be read.
  bool ready(std::string* error) const;

  // How many of the picture's pixels a game pixel takes, as a fraction, so that every edge
  // falls on the same pixel on every CPU: kWidth x kHeight times that, rounded. At a whole
  // number each game pixel is a square of the picture's. Between whole numbers the blocks,
  // borders and button faces are drawn at the picture's own pixels, the letters set at the
  // larger size, and the pictures of the sprites made the next whole number of times larger
  // without smoothing and taken down from there bilinearly, where the scale puts them ("sharp
  // bilinear"): every game pixel covers the same area, and an edge blends over one pixel at
  // most. The whole picture is drawn again at the next paint when the scale changes.
  struct Scale {
    int num = 1, den = 1;
    double value() const { return static_cast<double>(num) / den; }
    bool operator==(const Scale&) const = default;
  };
  void setScale(Scale scale);
  Scale scale() const { return scale_; }
  // The picture's size at a scale.
  static int widthAt(Scale scale);
  static int heightAt(Scale scale);
  // The largest scale at which the picture fits in width x height; whole numbers only where
  // asked (never less than 1 then).
  static Scale fit(int width, int height, bool wholeNumbers);

  // Brings the picture up to what the game shows, drawing again only inside what changed since
  // the last time (all of it the first time): each element that meets a changed rectangle is
  // drawn again there in the drawing order, so the pixels are those of a whole painting.
  // The rectangles of the picture that changed.
  const std::vector<Rect>& paint(const Frmbomb& f);
  const Image& picture() const { return times_ > 1 ? large_ : own_; }
  // The next paint draws the whole picture (a front end that lost what it showed).
  void paintAllNext() { damage_ = Damage{}; }
  // Sets the letters of one caption the next paint draws and finds not set yet, and says
  // whether it did: a front end whose moments are short (the page as it starts) spreads the
  // first paint's letters over several of them this way. Painting sets whatever is left.
  bool setNextCaption(const Frmbomb& f);

 private:
  struct Target;
  struct SetText {
    std::string text;
    int mark;
    SetLine line;
    bool holds(std::string_view t, int m) const {
      return line.lineHeight != 0 && text == t && mark == m;
    }
  };
  void drawSprite(const Target& to, const Sprite& s);
  void drawLabel(const Target& to, const Label& l);
  void drawButton(const Target& to, const Button& b);
  static std::pair<std::string, int> buttonCaption(const Button& b);
  const SetLine* setText(const void* key, const FontSpec& font, std::string_view text, int mark,
                         Scale scale);
  void drawText(const Target& to, const void* key, const FontSpec& font, std::string_view text,
                Rgb colour, Rect box, Align align, int mark);
  const Face* face(const FontSpec& font) const;
  void enlarge(const Rect& r);

  Scale scale_;
  int times_ = 1;  // the whole number the picture is of the game's own, or 0 between
  Image own_;      // at scale 1, or between whole numbers at the scale itself
  Image large_;    // at a whole-number scale above 1: own_ made larger
  Damage damage_;
  std::vector<Rect> changed_;
  std::vector<Target> parts_;  // what is being drawn again, in the pixels it is drawn in
  struct Picture {
    int width, height;
    std::vector<std::uint32_t> argb;  // premultiplied; "None" is 0
  };
  std::unordered_map<const PictureArt*, Picture> pictures_;
  std::unordered_map<const FontFile*, std::unique_ptr<Face>> faces_;
  std::unordered_map<const void*, SetText> texts_;
  std::string failure_;
};

}  // namespace mazeblast
