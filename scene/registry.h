// The elements by the names the game gives them, for the drawing, the scripted driver and
// the tests: one table, so the three never disagree.
#pragma once

#include <string_view>

namespace mazeblast {

class Frmbomb;
struct Sprite;
struct Label;
struct Button;
struct FocusBox;
class Timer;

enum class Kind { Sprite, Label, Button, Focus, Timer };

struct ElementSet {
  const char* name;
  Kind kind;
  int count;     // how many; a single element has 1
  bool indexed;  // named with an index: Imgvih(3)
  void* (*at)(Frmbomb&, int);
  const void* (*look)(const Frmbomb&, int);  // reading only: watched sets note no write

  Sprite& sprite(Frmbomb& f, int i) const { return *static_cast<Sprite*>(at(f, i)); }
  Label& label(Frmbomb& f, int i) const { return *static_cast<Label*>(at(f, i)); }
  Button& button(Frmbomb& f, int i) const { return *static_cast<Button*>(at(f, i)); }
  FocusBox& focus(Frmbomb& f, int i) const { return *static_cast<FocusBox*>(at(f, i)); }
  Timer& timer(Frmbomb& f, int i) const { return *static_cast<Timer*>(at(f, i)); }
  const Sprite& sprite(const Frmbomb& f, int i) const {
    return *static_cast<const Sprite*>(look(f, i));
  }
  const Label& label(const Frmbomb& f, int i) const {
    return *static_cast<const Label*>(look(f, i));
  }
  const Button& button(const Frmbomb& f, int i) const {
    return *static_cast<const Button*>(look(f, i));
  }
  const FocusBox& focus(const Frmbomb& f, int i) const {
    return *static_cast<const FocusBox*>(look(f, i));
  }
  const Timer& timer(const Frmbomb& f, int i) const {
    return *static_cast<const Timer*>(look(f, i));
  }
};

extern const ElementSet kElementSets[];
extern const int kElementSetCount;
const ElementSet* findElementSet(std::string_view name);

// The drawing order, bottom first: ranges of indexed sets, single elements as 0..0. The
// buttons and the focus box come last, over the whole stack.
struct StackEntry {
  const char* name;
  int first, last;
};
extern const StackEntry kStacking[];
extern const int kStackingCount;

// The buttons and what pressing each does.
struct ButtonBinding {
  const char* name;
  Button Frmbomb::*button;
  void (Frmbomb::*click)();
};
extern const ButtonBinding kButtons[4];

// The name of the picture source that holds this picture, as the rules name pictures.
const char* pictureName(const Frmbomb& f, const void* picture);

}  // namespace mazeblast
