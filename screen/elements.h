// The screen elements the game moves, shows, hides and re-pictures. Nothing here draws:
// the window code reads these records and paints them.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace mazeblast {

// Twips: 15 to a screen pixel. A cell is 480 twips, a quarter cell 240.
constexpr int kTwipsPerPixel = 15;

// One picture drawn for the game. Sprites refer to it; its address is its identity.
struct PictureArt {
  const char* name;
  const char* const* xpm;
};
using PictureRef = const PictureArt*;

namespace art {
extern const PictureArt vih1, vih2, vih3, kvih1, kvih2, kvih3;
extern const PictureArt pel[11];  // pel[0] standing, pel[1..10] the death frames
extern const PictureArt b1, b2, b3, b4;
extern const PictureArt lva, lvy, lpo, lpv;
extern const PictureArt brick, crackedBrick;
extern const PictureArt icon;
extern const PictureArt* const all[];
extern const int count;
}  // namespace art

struct Rgb {
  std::uint8_t r, g, b;
};

enum class Align { Left, Right, Center };

struct FontSpec {
  const char* family;
  int pixels;  // the point size at 96 dpi
  int weight;  // 400 normal, 700 bold, 900 heavy
  bool italic;
};

struct LabelLook {
  FontSpec font;
  Rgb fore;
  Rgb back;
  bool opaque;  // false: the label has no background of its own
  Align align;
};

// A caption kept in place: changing it never allocates.
class Text {
 public:
  constexpr Text() = default;
  constexpr Text(std::string_view s) { assign(s); }  // NOLINT: captions read like strings
  constexpr Text(const char* s) : Text(std::string_view(s)) {}  // NOLINT
  constexpr std::string_view view() const { return {buf_, len_}; }
  constexpr bool operator==(std::string_view s) const { return view() == s; }
  static constexpr int kCapacity = 47;

 private:
  constexpr void assign(std::string_view s) {
    len_ = s.size() < kCapacity ? s.size() : kCapacity;
    for (std::size_t i = 0; i < len_; ++i) buf_[i] = s[i];
    buf_[len_] = 0;
  }
  char buf_[kCapacity + 1] = {};
  std::size_t len_ = 0;
};

// Writes a number the way every label shows one: " 0", " 3000", "-10".
Text numberCaption(long value);

struct Sprite {
  int Left, Top, Width, Height;
  bool Visible;
  PictureRef Picture;
};

struct Label {
  int Left, Top, Width, Height;
  bool Visible;
  Text Caption;
  const LabelLook* look;
};

struct Button {
  int Left, Top, Width, Height;
  bool Visible;
  Text Caption;  // the letter after '&' is the access key
  Rgb face;
  char accessKey() const;
};

struct FocusBox {
  int Left, Top, Width, Height;
  bool Visible;
  bool Enabled;
};

// A fixed-size set of like elements or values, indexed as the game names them: Imgvih(3),
// bombfuse(3).
template <class T, int N>
struct Set {
  T items[N];
  constexpr T& operator()(int i) {
    assert(i >= 0 && i < N);
    return items[i];
  }
  constexpr const T& operator()(int i) const {
    assert(i >= 0 && i < N);
    return items[i];
  }
  static constexpr int size() { return N; }
  constexpr T* begin() { return items; }
  constexpr T* end() { return items + N; }
  constexpr const T* begin() const { return items; }
  constexpr const T* end() const { return items + N; }
};

// A Set whose every mutable access is noted, so that an index kept beside it knows when a
// write from outside (the scripted driver, a test) may have left it stale. The owner's own
// writes go through quiet(), and keep the index in step themselves.
template <class T, int N>
struct WatchedSet : Set<T, N> {
  using Base = Set<T, N>;
  constexpr T& operator()(int i) {
    touched = true;
    return Base::operator()(i);
  }
  constexpr const T& operator()(int i) const { return Base::operator()(i); }
  constexpr T* begin() {
    touched = true;
    return Base::begin();
  }
  constexpr T* end() { return Base::end(); }
  constexpr const T* begin() const { return Base::begin(); }
  constexpr const T* end() const { return Base::end(); }
  constexpr T& quiet(int i) { return Base::operator()(i); }

  mutable bool touched = true;
};

}  // namespace mazeblast
