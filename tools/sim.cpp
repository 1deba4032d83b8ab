#include "tools/sim.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdio>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "game/Frmbomb.h"
#include "paint/painter.h"
#include "replay/playback.h"
#include "replay/recording.h"
#include "scene/controls.h"
#include "scene/registry.h"
#include "scene/session.h"
#include "scene/sound_events.h"
#include "scene/state_hash.h"
#include "screen/mixer.h"
#include "tools/png.h"

namespace mazeblast {

namespace {

// ---- The procedures `call` may run --------------------------------------------------------

struct Procedure {
  const char* name;
  void (Frmbomb::*run)();
};
#define P(name)           \
  Procedure {             \
#name, &Frmbomb::name \
  }
const Procedure kProcedures[] = {
    P(Form_Load),   P(Cmdstart_Click), P(Cmdcont_Click),   P(Cmdcont2_Click), P(Cmdnew_Click),
    P(Tmr1_Timer),  P(Tmr2_Timer),     P(Tmr3_Timer),      P(Tmr4_Timer),     P(Tmr5_Timer),
    P(Tmr6_Timer),  P(Tmr7_Timer),     P(Tmr8_Timer),      P(Tmr9_Timer),     P(pelikeskeytetty),
    P(tasolapi),    P(asetaseinat),    P(asetaviholliset), P(pelkuolee),      P(asetapommi),
    P(asetapommi0), P(asetapommi1),    P(asetapommi2),     P(asetapommi3),    P(asetapommi4),
    P(asetapommi5), P(asetapommi6),    P(asetapommi7),     P(asetapommi8),    P(asetapommi9),
    P(pommiliike),  P(rajaytapommi),   P(rajaytapommi2),   P(pelpommiin),     P(vihollisliike),
    P(vihkuolee),
};
#undef P

// ---- Targets: name, name(i), name.Prop, name(i).Prop -----------------------------------------

struct Target {
  std::string name;
  bool indexed = false;
  long index = 0;  // as written: checked against the set before it is used
  std::string prop;
};

bool parseInt(std::string_view s, long& v) {
  if (s.empty()) return false;
  const char* b = s.data();
  if (*b == '+') ++b;
  auto [p, ec] = std::from_chars(b, s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

bool parseTarget(std::string_view s, Target& t) {
  std::size_t i = 0;
  while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
  if (i == 0) return false;
  t.name = std::string(s.substr(0, i));
  if (i < s.size() && s[i] == '(') {
    const std::size_t close = s.find(')', i);
    long v;
    if (close == std::string_view::npos || !parseInt(s.substr(i + 1, close - i - 1), v))
      return false;
    t.indexed = true;
    t.index = v;
    i = close + 1;
  }
  if (i < s.size()) {
    if (s[i] != '.') return false;
    t.prop = std::string(s.substr(i + 1));
    if (t.prop.empty()) return false;
  }
  return true;
}

// A caption in double quotes, as JSON writes a string: quotes and backslashes escaped, and
// every byte that is not printable ASCII as \u00XX, so a line stays one line of valid text.
std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u >= 0x7f) {
      constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string trim(std::string_view s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string_view::npos) return "";
  const auto e = s.find_last_not_of(" \t\r");
  return std::string(s.substr(b, e - b + 1));
}

class Sim {
 public:
  Sim(std::ostream& out, std::uint64_t seed, bool writesFiles)
      : session_({.seed = seed}), out_(out), writesFiles_(writesFiles) {}

  // Runs one line; an error message when it fails, else empty.
  std::string run(const std::string& line);
  // Writes the recording, if one was asked for; an error message when it cannot.
  std::string finish();

 private:
  struct Resolved {
    const Variable* field = nullptr;
    const ElementSet* set = nullptr;
    int index = 0;
    std::string prop;
  };
  const Variable* findVariable(std::string_view name) const;
  std::string resolve(const std::string& text, Resolved& r, bool wantProp);
  std::string get(const Resolved& r, std::string& value);
  std::string set(const Resolved& r, const std::string& value);
  std::string pictureFrom(const std::string& name, PictureRef& pic);
  void dump();

  // What a handler changed on the screen, heard.
  void hear(SoundEvents events);
  void handled() { hear(session_.heard()); }
  // The clock on to `untilUs`, every tick seen by the controls and heard.
  void advance(std::int64_t untilUs) {
    session_.advanceTo(untilUs, [&](SoundEvents events) { hear(events); });
  }
  std::string startRecording(const std::string& path);

  Session session_;
  Frmbomb* const game_ = &session_.game();
  std::vector<Variable> variables_ = variablesOf(*game_);
  // What the front ends do around the handlers, that a script or a replay may ask for: keys
  // still held let go when the focus goes, and the pause that comes with it.
  Controls& controls_ = session_.controls();
  std::ostream& out_;
  // Whether screenshots and sounds go to files, or are only drawn and mixed (a fuzzer's run).
  bool writesFiles_;
  std::vector<std::pair<SoundEvent, std::int64_t>> heard_;  // since the last `sounds`
  // The recording that `audio` asked for, from its virtual time on: mixed as the clock goes,
  // up to each sound's start, `mixed_` samples so far.
  WavFile wav_;
  std::int64_t audioFromMs_ = 0, mixed_ = 0;
  std::unique_ptr<SoundBank> bank_;
  std::unique_ptr<Mixer> mixer_;
  void mixTo(std::int64_t sample);
  // The screen drawn as the window draws it, written as a PNG; `size` is "" for the game's own
  // pixels, a scale ("2", "1.5") or a screen's size ("1920x1080": the picture as large as it
  // fits, in the middle, black around it, as the window shows it filling that screen).
  std::string screenshot(std::string_view size, const std::string& path);
  std::unique_ptr<Painter> painters_[2];  // at scale 1 and at any other, made when first asked
};

std::string Sim::screenshot(std::string_view size, const std::string& path) {
  Painter::Scale scale;
  int screenW = 0, screenH = 0;
  if (!size.empty()) {
    const std::string text(size);
    const char* const kSizes =
        "the size is a scale from 0.25 to 8 (at most four decimals) or a screen's WIDTHxHEIGHT";
    int w = 0, h = 0, whole = 0, read = 0;
    char x = 0, extra = 0, digits[5] = {};
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) == 3 && x == 'x') {
      if (w < 1 || h < 1 || w > 8192 || h > 8192) return "a screen's size is 1x1 to 8192x8192";
      screenW = w;
      screenH = h;
      scale = Painter::fit(w, h, false);
    } else if ((read = std::sscanf(text.c_str(), "%d.%4[0-9]%c", &whole, digits, &extra)) == 2 ||
               (read == 1 && text.find_first_not_of("0123456789") == std::string::npos)) {
      // A decimal, kept exact: 1.25 is 125 / 100.
      if (whole > 8) return kSizes;
      scale = {whole, 1};
      for (const char* d = digits; *d; ++d) scale = {scale.num * 10 + (*d - '0'), scale.den * 10};
      if (scale.num * 4 < scale.den || scale.num > 8 * scale.den) return kSizes;
    } else {
      return kSizes;
    }
  }
  auto& painter = painters_[size.empty() ? 0 : 1];
  if (!painter) painter = std::make_unique<Painter>();
  if (std::string error; !painter->ready(&error)) return error;
  painter->setScale(scale);
  painter->paint(*game_);
  if (!writesFiles_) return "";
  std::string error;
  if (!screenW) return writePng(painter->picture(), path, &error) ? "" : error;
  // On a screen: the picture in the middle, where the window puts it.
  const Image& picture = painter->picture();
  Image screen;
  screen.resize(screenW, screenH);
  const int left = (screenW - picture.width) / 2, top = (screenH - picture.height) / 2;
  for (int y = 0; y < picture.height; ++y)
    std::copy_n(picture.row(y), picture.width, screen.row(top + y) + left);
  return writePng(screen, path, &error) ? "" : error;
}

void Sim::hear(SoundEvents events) {
  const std::int64_t ms = game_->clock.nowUs / 1000;
  events.forEach([&](SoundEvent e) {
    heard_.emplace_back(e, ms);
    if (!mixer_) return;
    mixTo((ms - audioFromMs_) * kSampleRate / 1000);
    mixer_->start(e);
  });
}

void Sim::mixTo(std::int64_t sample) {
  sample = std::min(sample, WavFile::kMostSamples);
  std::int16_t buffer[4096];
  while (mixed_ < sample) {
    // Silence costs nothing where nothing is written.
    if (!writesFiles_ && mixer_->quiet()) {
      mixed_ = sample;
      break;
    }
    const int n = static_cast<int>(std::min<std::int64_t>(sample - mixed_, std::size(buffer)));
    mixer_->mix(buffer, n);
    wav_.write(buffer, n);
    mixed_ += n;
  }
}

std::string Sim::startRecording(const std::string& path) {
  if (std::string e = finish(); !e.empty()) return e;
  // Made now, so that a file that cannot be written is this line's error.
  std::string error;
  if (writesFiles_ && !wav_.open(path, kSampleRate, &error)) return error;
  if (!bank_) bank_ = std::make_unique<SoundBank>();
  mixer_ = std::make_unique<Mixer>(*bank_);
  audioFromMs_ = game_->clock.nowUs / 1000;
  mixed_ = 0;
  return "";
}

std::string Sim::finish() {
  if (!mixer_) return "";
  // To the end of the last sound, at least.
  mixTo((game_->clock.nowUs / 1000 - audioFromMs_) * kSampleRate / 1000);
  mixTo(mixed_ + mixer_->busyFor());
  std::string error;
  wav_.close(&error);
  mixer_.reset();
  return error;
}

const Variable* Sim::findVariable(std::string_view name) const {
  for (const Variable& v : variables_)
    if (name == v.name) return &v;
  return nullptr;
}

std::string Sim::resolve(const std::string& text, Resolved& r, bool wantProp) {
  Target t;
  if (!parseTarget(text, t)) return "bad target '" + text + "'";
  const Variable* f = findVariable(t.name);
  const ElementSet* s = f ? nullptr : findElementSet(t.name);
  if (!f && !s) return "unknown name '" + t.name + "'";
  const bool many = f ? f->count > 1 : nameOf(*s).indexed;
  const int count = f ? f->count : nameOf(*s).count;
  if (many && !t.indexed) return "'" + t.name + "' needs an index";
  if (!many && t.indexed) return "'" + t.name + "' takes no index";
  if (t.indexed && (t.index < 0 || t.index >= count))
    return "index " + std::to_string(t.index) + " outside " + t.name + "(0.." +
           std::to_string(count - 1) + ")";
  if (f && !t.prop.empty()) return "'" + t.name + "' has no properties";
  if (s && wantProp && t.prop.empty()) return "'" + text + "' needs a property";
  r.field = f;
  r.set = s;
  r.index = static_cast<int>(t.index);
  r.prop = t.prop;
  return "";
}

// Left, Top, Width, Height of any element but a timer.
template <class E>
auto geometry(E& e, std::string_view prop) -> decltype(&e.Left) {
  if (prop == "Left") return &e.Left;
  if (prop == "Top") return &e.Top;
  if (prop == "Width") return &e.Width;
  if (prop == "Height") return &e.Height;
  return nullptr;
}

template <class E>
constexpr bool kHasCaption = std::is_same_v<E, Label> || std::is_same_v<E, Button>;

// A property of an element as the driver writes it, or nothing when it has none.
template <class E>
std::optional<std::string> readProperty(const Frmbomb& g, const E& e, std::string_view p) {
  if constexpr (std::is_same_v<E, Timer>) {
    if (p == "Enabled") return e.enabled() ? "1" : "0";
    if (p == "Interval") return std::to_string(e.interval());
  } else {
    if (const int* v = geometry(e, p)) return std::to_string(*v);
    if (p == "Visible") return e.Visible ? "1" : "0";
  }
  if constexpr (std::is_same_v<E, Sprite>)
    if (p == "Picture") return pictureName(g, e.Picture);
  if constexpr (kHasCaption<E>)
    if (p == "Caption") return quoted(e.Caption.view());
  if constexpr (std::is_same_v<E, FocusBox>)
    if (p == "Enabled") return e.Enabled ? "1" : "0";
  return std::nullopt;
}

// What `dump` writes of a shown element, after its place and size.
template <class E>
constexpr std::string_view kDumped = "";
template <>
constexpr std::string_view kDumped<Sprite> = "Picture";
template <>
constexpr std::string_view kDumped<Label> = "Caption";
template <>
constexpr std::string_view kDumped<Button> = "Caption";
template <>
constexpr std::string_view kDumped<FocusBox> = "Enabled";

std::string Sim::get(const Resolved& r, std::string& value) {
  Frmbomb& g = *game_;
  if (r.field) {
    value = std::to_string(r.field->get(r.index));
    return "";
  }
  const auto v = std::visit(
      [&](const auto& set) { return readProperty(g, set.look(g, r.index), r.prop); }, *r.set);
  if (!v) return "'" + std::string(nameOf(*r.set).name) + "' has no property '" + r.prop + "'";
  value = *v;
  return "";
}

std::string Sim::pictureFrom(const std::string& name, PictureRef& pic) {
  Resolved r;
  if (std::string e = resolve(name, r, false); !e.empty()) return e;
  const auto* sprites = r.set ? std::get_if<Elements<Sprite>>(r.set) : nullptr;
  if (!sprites || !r.prop.empty()) return "'" + name + "' is not a picture source";
  pic = sprites->look(*game_, r.index).Picture;
  return "";
}

std::string Sim::set(const Resolved& r, const std::string& value) {
  Frmbomb& g = *game_;
  auto number = [&](long lo, long hi, long& v) -> std::string {
    if (!parseInt(value, v)) return "bad value '" + value + "'";
    if (v < lo || v > hi)
      return "value " + value + " outside " + std::to_string(lo) + ".." + std::to_string(hi);
    return "";
  };
  auto flag = [&](bool& b) -> std::string {
    long v;
    if (std::string e = number(0, 1, v); !e.empty()) return e;
    b = v == 1;
    return "";
  };
  auto caption = [&](Text& t) -> std::string {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
      return "a caption goes in double quotes";
    std::string s;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
      if (value[i] == '\\' && i + 2 < value.size()) ++i;
      s += value[i];
    }
    if (s.size() > Text::kCapacity) return "caption longer than " + std::to_string(Text::kCapacity);
    t = Text(std::string_view(s));
    return "";
  };
  long v;
  if (r.field) {
    const Range& range = r.field->range;
    if (std::string e = number(range.lo, range.hi, v); !e.empty()) return e;
    if ((v - range.lo) % range.step != 0)
      return "value " + value + " is off the quarter lattice (" + std::to_string(range.lo) + " + " +
             std::to_string(range.step) + " k)";
    r.field->set(r.index, v);
    return "";
  }
  const std::string& p = r.prop;
  const std::string_view name = nameOf(*r.set).name;
  // Pillars, border blocks and wall tiles stand where the field needs them.
  const bool fixed = name == "Lblkeski" || (name == "Imgmuuri" && r.index <= 1011);
  auto place = [&](int* slot) -> std::string {
    if (fixed) return std::string(name) + " elements do not move";
    if (std::string e = number(-1000000, 1000000, v); !e.empty()) return e;
    *slot = static_cast<int>(v);
    return "";
  };
  const std::string noProp = "'" + std::string(name) + "' has no property '" + p + "'";
  return std::visit(
      [&](const auto& set) -> std::string {
        auto& e = set.at(g, r.index);
        using E = std::remove_cvref_t<decltype(e)>;
        if constexpr (std::is_same_v<E, Timer>) {
          if (p == "Enabled") {
            bool on;
            if (std::string error = flag(on); !error.empty()) return error;
            e.setEnabled(on);
            return "";
          }
          if (p == "Interval") {
            if (std::string error = number(0, 65535, v); !error.empty()) return error;
            e.setInterval(static_cast<int>(v));
            return "";
          }
        } else {
          if (int* slot = geometry(e, p)) return place(slot);
          if (p == "Visible") return flag(e.Visible);
        }
        if constexpr (std::is_same_v<E, Sprite>)
          if (p == "Picture") return pictureFrom(value, e.Picture);
        if constexpr (kHasCaption<E>)
          if (p == "Caption") return caption(e.Caption);
        if constexpr (std::is_same_v<E, FocusBox>)
          if (p == "Enabled") return flag(e.Enabled);
        return noProp;
      },
      *r.set);
}

void Sim::dump() {
  Frmbomb& g = *game_;
  std::ostringstream o;
  o << "{\"time\":" << g.clock.nowUs / 1000 << ",\"state\":{";
  bool first = true;
  for (const Variable& f : variables_) {
    o << (first ? "" : ",") << "\"" << f.name << "\":";
    first = false;
    if (f.count == 1) {
      o << f.get(0);
      continue;
    }
    o << "[";
    for (int i = 0; i < f.count; ++i) o << (i ? "," : "") << f.get(i);
    o << "]";
  }
  o << "},\"elements\":{";
  first = true;
  for (const ElementSet& elements : elementSets()) {
    std::visit(
        [&](const auto& set) {
          using E = std::remove_cvref_t<decltype(set.look(g, 0))>;
          if constexpr (!std::is_same_v<E, Timer>) {
            for (int i = 0; i < set.count; ++i) {
              const E& e = set.look(g, i);
              if (!e.Visible) continue;
              o << (first ? "" : ",") << "\"" << set.name;
              if (set.indexed) o << "(" << i << ")";
              o << "\":{";
              for (std::string_view p : {"Left", "Top", "Width", "Height"})
                o << "\"" << p << "\":" << *readProperty(g, e, p) << ",";
              const std::string last = *readProperty(g, e, kDumped<E>);
              o << "\"" << kDumped<E> << "\":" << (kDumped<E> == "Picture" ? quoted(last) : last)
                << "}";
              first = false;
            }
          }
        },
        elements);
  }
  o << "},\"timers\":{";
  for (int t = 0; t < kGameTimers; ++t) {
    o << (t ? "," : "") << "\"Tmr" << t + 1
      << "\":{\"Enabled\":" << (g.timers[t]->enabled() ? 1 : 0)
      << ",\"Interval\":" << g.timers[t]->interval() << "}";
  }
  o << "}}";
  out_ << o.str() << "\n";
}

std::string Sim::run(const std::string& raw) {
  const std::string line = trim(raw);
  if (line.empty() || line[0] == '#') return "";
  const auto sp = line.find_first_of(" \t");
  const std::string cmd = line.substr(0, sp);
  const std::string rest = sp == std::string::npos ? "" : trim(std::string_view(line).substr(sp));
  Frmbomb& g = *game_;
  long v;

  if (cmd == "press" || cmd == "release") {
    if (!parseInt(rest, v) || v < 0 || v > 255) return "bad key code '" + rest + "'";
    // As in the game: lost unless Pic1 holds the focus.
    controls_.fieldKey(static_cast<int>(v), cmd == "press");
    handled();
    return "";
  }
  if (cmd == "click") {
    for (int b = 0; b < 4; ++b) {
      if (rest != kButtons[b].name) continue;
      if (!(g.*kButtons[b].button).Visible) return "button " + rest + " is hidden";
      controls_.click(b);
      handled();
      return "";
    }
    return "no button '" + rest + "'";
  }
  if (cmd == "at") {
    // at SECONDS [COMMAND]: the clock on to that time of the game, then the command.
    const std::string when = rest.substr(0, rest.find_first_of(" \t"));
    std::int64_t us;
    if (!parseReplayTime(when, us)) return "bad time '" + when + "'";
    if (us < g.clock.nowUs)
      return "time runs backwards (" + secondsText(us) + " after " + secondsText(g.clock.nowUs) +
             ")";
    advance(us);
    const std::string then = trim(std::string_view(rest).substr(when.size()));
    return then.empty() ? "" : run(then);
  }
  if (cmd == "focus") {
    if (rest != "0" && rest != "1") return "bad focus '" + rest + "' (0 or 1)";
    controls_.focus(rest == "1");
    handled();
    return "";
  }
  if (cmd == "check") {
    std::uint64_t h;
    if (!parseStateHash(rest, h)) return "bad state hash '" + rest + "'";
    if (h != stateHash(g)) return "the state differs from the recording's";
    return "";
  }
  if (cmd == "hash") {
    if (!rest.empty()) return "hash takes nothing";
    char hex[16];
    formatStateHash(stateHash(g), hex);
    out_ << "hash " << std::string_view(hex, 16) << "\n";
    return "";
  }
  if (cmd == "end") return rest.empty() ? "" : "end takes nothing";
  if (cmd == "wait") {
    // A wait ends: at most about eleven days of play at a time, and a clock that stays far
    // inside its 64-bit range.
    constexpr long kLongestWaitMs = 1000000000;
    constexpr std::int64_t kLastUs = std::int64_t{1} << 62;
    if (!parseInt(rest, v) || v < 0) return "bad time '" + rest + "'";
    if (v > kLongestWaitMs)
      return "wait " + rest + " is longer than " + std::to_string(kLongestWaitMs) + " ms";
    if (g.clock.nowUs > kLastUs - v * 1000) return "the virtual clock would run past its end";
    advance(g.clock.nowUs + v * 1000);
    return "";
  }
  if (cmd == "call") {
    for (const Procedure& p : kProcedures) {
      if (rest == p.name) {
        (g.*p.run)();
        handled();
        return "";
      }
    }
    return "no procedure '" + rest + "'";
  }
  if (cmd == "random") {
    std::istringstream in(rest);
    std::vector<double> values;
    std::string word;
    while (in >> word) {
      double d;
      auto [p, ec] = std::from_chars(word.data(), word.data() + word.size(), d);
      if (ec != std::errc() || p != word.data() + word.size())
        return "bad random value '" + word + "'";
      values.push_back(d);
    }
    if (values.empty()) return "random needs values";
    if (!g.rnd.force(values.data(), static_cast<int>(values.size())))
      return "random values must lie in [0, 1), at most " + std::to_string(Random::kMaxForced);
    return "";
  }
  if (cmd == "seed") {
    // Any 64-bit seed, as the window and the page record theirs.
    std::uint64_t seed;
    const char* from = rest.data() + (rest.size() > 1 && rest[0] == '+');
    const auto [end, ec] = std::from_chars(from, rest.data() + rest.size(), seed);
    if (rest.empty() || ec != std::errc() || end != rest.data() + rest.size())
      return "bad seed '" + rest + "'";
    g.rnd.reseed(seed);
    return "";
  }
  if (cmd == "floor") {
    if (!parseInt(rest, v) || v < 0 || v > 60000) return "bad floor '" + rest + "'";
    g.clock.setFloor(static_cast<int>(v));
    return "";
  }
  if (cmd == "set") {
    const auto sp2 = rest.find_first_of(" \t");
    if (sp2 == std::string::npos) return "set needs a target and a value";
    Resolved r;
    if (std::string e = resolve(rest.substr(0, sp2), r, true); !e.empty()) return e;
    const std::string e = set(r, trim(std::string_view(rest).substr(sp2)));
    session_.lookAgain();  // what a script sets is no event: the next handler starts from it
    return e;
  }
  if (cmd == "get") {
    Resolved r;
    if (std::string e = resolve(rest, r, true); !e.empty()) return e;
    std::string value;
    if (std::string e = get(r, value); !e.empty()) return e;
    out_ << rest << " " << value << "\n";
    return "";
  }
  if (cmd == "dump") {
    if (!rest.empty()) return "dump takes nothing";
    dump();
    return "";
  }
  if (cmd == "screenshot") {
    if (rest.empty()) return "screenshot needs a file name";
    return screenshot("", rest);
  }
  if (cmd == "screenshot-scaled") {
    const std::size_t space = rest.find(' ');
    if (space == std::string::npos || space + 1 == rest.size())
      return "screenshot-scaled needs a size and a file name";
    return screenshot(std::string_view(rest).substr(0, space), rest.substr(space + 1));
  }
  if (cmd == "sounds") {
    if (!rest.empty()) return "sounds takes nothing";
    out_ << "sounds";
    for (const auto& [e, ms] : heard_)
      out_ << " " << kSoundEventNames[static_cast<int>(e)] << "@" << ms;
    out_ << "\n";
    heard_.clear();
    return "";
  }
  if (cmd == "audio") {
    if (rest.empty()) return "audio needs a file name";
    return startRecording(rest);
  }
  return "unknown command '" + cmd + "'";
}

}  // namespace

int runReplay(const Replay& replay, std::ostream& out) {
  const ReplayVerdict v = checkReplay(replay);
  out << v.verdict << "\n";
  return v.differs ? 1 : 0;
}

namespace {

// One line of a script, however long its line runs: what follows the longest command any
// script needs is dropped, and said.
bool scriptLine(std::istream& in, std::string& line, bool& tooLong) {
  constexpr std::size_t kLongestLine = std::size_t{1} << 20;
  line.clear();
  tooLong = false;
  std::streambuf* from = in.rdbuf();
  for (int c; (c = from->sbumpc()) != std::char_traits<char>::eof();) {
    if (c == '\n') return true;
    if (line.size() < kLongestLine)
      line += static_cast<char>(c);
    else
      tooLong = true;
  }
  in.setstate(std::ios::eofbit);
  return !line.empty() || tooLong;
}

}  // namespace

int runScript(std::istream& in, std::ostream& out, std::ostream& err, std::uint64_t seed,
              bool writesFiles) {
  std::string line;
  bool tooLong = false;
  int number = 0, status = 0;
  // A recording given as a script is watched as one, read as it comes, as large as any
  // recording at most.
  if (in.peek() == '#' && scriptLine(in, line, tooLong) && !tooLong &&
      line.rfind("# RMO Mazeblast replay", 0) == 0) {
    ReplayReader reader;
    bool fed = reader.feed(line + "\n");
    char chunk[65536];
    while (fed && (in.read(chunk, sizeof chunk) || in.gcount() > 0))
      fed = reader.feed(std::string_view(chunk, static_cast<std::size_t>(in.gcount())));
    const Replay replay = reader.finish();
    if (!replay.error.empty()) {
      const bool large = replay.error.rfind("larger than", 0) == 0;
      err << "mazeblast-sim: standard input" << (large ? " is " : ", ") << replay.error << "\n";
      return 1;
    }
    return runReplay(replay, out);
  }
  Sim sim(out, seed, writesFiles);
  auto run = [&] {
    ++number;
    const std::string error = tooLong ? "longer than any command (1 MB)" : sim.run(line);
    if (error.empty()) return;
    out.flush();
    err << "line " << number << ": " << error << "\n";
    status = 1;
  };
  if (!line.empty() || tooLong) run();
  while (scriptLine(in, line, tooLong)) run();
  if (const std::string error = sim.finish(); !error.empty()) {
    out.flush();
    err << "end: " << error << "\n";
    status = 1;
  }
  return status;
}

}  // namespace mazeblast
