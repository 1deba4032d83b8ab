#include "scene/replay.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "scene/registry.h"
#include "scene/state_hash.h"
#include "version.h"

namespace mazeblast {

namespace {

constexpr std::string_view kHeader = "# RMO Mazeblast replay, format ";
// About eleven days of play, as the scripted driver's longest wait.
constexpr std::int64_t kLastUs = std::int64_t{1000000000} * 1000;

template <class T>
bool whole(std::string_view s, T& v) {
  if (s.empty() || s[0] == '+' || s[0] == '-') return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && end == s.data() + s.size();
}

// Splits off the first word of `s`; `s` keeps the rest, its leading blanks gone.
std::string_view word(std::string_view& s) {
  const std::size_t end = std::min(s.find_first_of(" \t"), s.size());
  const std::string_view w = s.substr(0, end);
  s.remove_prefix(end);
  const std::size_t next = s.find_first_not_of(" \t");
  s.remove_prefix(next == std::string_view::npos ? s.size() : next);
  return w;
}

// One line of a recording into its step; an error message when it is none.
std::string parseLine(std::string_view s, ReplayStep& step) {
  std::string_view cmd = word(s);
  if (cmd == "at") {
    const std::string_view t = word(s);
    if (!parseReplayTime(t, step.us)) return "bad time '" + std::string(t) + "'";
    if (s.empty()) return "";
    cmd = word(s);
  }
  static constexpr std::string_view kCommands[] = {"press", "release", "focus", "seed",
                                                   "floor", "click",   "check", "end"};
  if (std::find(std::begin(kCommands), std::end(kCommands), cmd) == std::end(kCommands))
    return "'" + std::string(cmd) + "' is no command of a replay";
  const std::string_view arg = word(s);
  if (!s.empty()) return "'" + std::string(s) + "' after the command";
  auto number = [&](ReplayStep::Kind kind, std::uint64_t hi, const char* what) -> std::string {
    step.kind = kind;
    if (!whole(arg, step.value) || step.value > hi)
      return std::string("bad ") + what + " '" + std::string(arg) + "'";
    return "";
  };
  if (cmd == "press") return number(ReplayStep::Press, 255, "key code");
  if (cmd == "release") return number(ReplayStep::Release, 255, "key code");
  if (cmd == "focus") return number(ReplayStep::Focus, 1, "focus (0 or 1)");
  if (cmd == "seed") return number(ReplayStep::Seed, UINT64_MAX, "seed");
  if (cmd == "floor") return number(ReplayStep::Floor, 60000, "floor");
  if (cmd == "click") {
    step.kind = ReplayStep::Click;
    for (int b = 0; b < 4; ++b)
      if (arg == kButtons[b].name) return step.value = static_cast<std::uint64_t>(b), "";
    return "no button '" + std::string(arg) + "'";
  }
  if (cmd == "check") {
    step.kind = ReplayStep::Check;
    return parseStateHash(arg, step.value) ? "" : "bad state hash '" + std::string(arg) + "'";
  }
  step.kind = ReplayStep::End;
  return arg.empty() ? "" : "end takes nothing";
}

}  // namespace

bool parseReplayTime(std::string_view s, std::int64_t& us) {
  const std::size_t dot = s.find('.');
  const std::string_view whole_part = s.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? "" : s.substr(dot + 1);
  std::int64_t seconds = 0, micro = 0;
  if (!whole(whole_part, seconds) || seconds > kLastUs / 1000000) return false;
  if (dot != std::string_view::npos) {
    if (fraction.empty() || fraction.size() > 6 || !whole(fraction, micro)) return false;
    for (std::size_t i = fraction.size(); i < 6; ++i) micro *= 10;
  }
  us = seconds * 1000000 + micro;
  return true;
}

int formatReplayTime(std::int64_t us, char* out) {
  char* end = std::to_chars(out, out + 20, us / 1000000).ptr;
  *end++ = '.';
  std::int64_t micro = us % 1000000;
  for (int i = 5; i >= 0; --i, micro /= 10) end[i] = static_cast<char>('0' + micro % 10);
  return static_cast<int>(end + 6 - out);
}

void formatStateHash(std::uint64_t hash, char* out) {
  for (int i = 0; i < 16; ++i) out[i] = "0123456789abcdef"[(hash >> (60 - 4 * i)) & 15];
}

bool parseStateHash(std::string_view s, std::uint64_t& hash) {
  if (s.size() != 16) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), hash, 16);
  return ec == std::errc() && end == s.data() + s.size();
}

std::string secondsText(std::int64_t us) {
  char text[32];
  const int n = formatReplayTime(us, text);
  return std::string(text, n - 3) + " s";
}

// ---- Writing -----------------------------------------------------------------------------

void ReplayWriter::line(std::string_view command, std::string_view argument) {
  const int size = static_cast<int>(command.size() + 1 + argument.size() + 1);
  if (used_ + size > static_cast<int>(sizeof buffer_)) return;
  char* p = buffer_ + used_;
  std::memcpy(p, command.data(), command.size());
  p += command.size();
  if (!argument.empty()) {
    *p++ = ' ';
    std::memcpy(p, argument.data(), argument.size());
    p += argument.size();
  }
  *p++ = '\n';
  used_ = static_cast<int>(p - buffer_);
}

void ReplayWriter::timedLine(std::string_view command, std::string_view argument) {
  char at[64] = "at ";
  int n = 3 + formatReplayTime(game_.clock.nowUs, at + 3);
  at[n++] = ' ';
  std::memcpy(at + n, command.data(), command.size());
  line(std::string_view(at, n + command.size()), argument);
}

void ReplayWriter::begin(std::uint64_t seed, int floorMs) {
  line(std::string(kHeader) + std::to_string(kReplayFormat) + ", game " MAZEBLAST_VERSION, "");
  line("seed", std::to_string(seed));
  line("floor", std::to_string(floorMs));
  lastCheckUs_ = game_.clock.nowUs;
  buttons_ = buttonsShown();
}

void ReplayWriter::key(int code, bool down) {
  char number[8];
  const auto end = std::to_chars(number, number + sizeof number, code).ptr;
  timedLine(down ? "press" : "release", std::string_view(number, end - number));
}

void ReplayWriter::click(int button) {
  timedLine("click", kButtons[button].name);
}

void ReplayWriter::focus(bool on) {
  timedLine("focus", on ? "1" : "0");
}

int ReplayWriter::buttonsShown() const {
  int shown = 0;
  for (int b = 0; b < 4; ++b) shown |= (game_.*kButtons[b].button).Visible ? 1 << b : 0;
  return shown;
}

void ReplayWriter::settled() {
  const int shown = buttonsShown();
  if (shown == buttons_ && game_.clock.nowUs - lastCheckUs_ < kCheckEveryUs) return;
  screenChanged_ = screenChanged_ || shown != buttons_;
  buttons_ = shown;
  lastCheckUs_ = game_.clock.nowUs;
  char hex[16];
  formatStateHash(stateHash(game_), hex);
  timedLine("check", std::string_view(hex, 16));
}

void ReplayWriter::end() {
  timedLine("end", "");
  screenChanged_ = true;
}

// ---- Reading -----------------------------------------------------------------------------

Replay readReplay(std::string_view text) {
  Replay r;
  const std::size_t lastBreak = text.rfind('\n');
  text = lastBreak == std::string_view::npos ? std::string_view() : text.substr(0, lastBreak + 1);
  int number = 0;
  std::int64_t lastUs = 0;
  auto fail = [&](const std::string& what) {
    r.error = "line " + std::to_string(number) + ": " + what;
    r.steps.clear();
    return r;
  };
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    std::string_view s = text.substr(0, eol);
    text.remove_prefix(eol + 1);
    ++number;
    if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
    if (number == 1) {
      int format = 0;
      const std::string_view rest = s.substr(std::min(s.size(), kHeader.size()));
      const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), format);
      if (s.substr(0, kHeader.size()) != kHeader || ec != std::errc() || format < 1 ||
          (end != rest.data() + rest.size() && *end != ','))
        return fail("not a replay of RMO Mazeblast");
      if (format > kReplayFormat)
        return fail("a replay of format " + std::to_string(format) +
                    ", newer than this game reads (" + std::to_string(kReplayFormat) + ")");
      continue;
    }
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos || s[first] == '#') continue;
    if (r.complete) return fail("nothing may follow the end");
    ReplayStep step;
    step.line = number;
    if (const std::string e = parseLine(s.substr(first), step); !e.empty()) return fail(e);
    if (step.us >= 0) {
      if (step.us < lastUs)
        return fail("time runs backwards (" + secondsText(step.us) + " after " +
                    secondsText(lastUs) + ")");
      lastUs = step.us;
    }
    r.complete = step.kind == ReplayStep::End;
    r.steps.push_back(step);
  }
  if (number == 0) return fail("not a replay of RMO Mazeblast");
  return r;
}

// ---- Playing -----------------------------------------------------------------------------

bool ReplayRun::apply(Frmbomb& game, Controls& controls, const ReplayStep& s) {
  switch (s.kind) {
    case ReplayStep::Wait: return false;
    case ReplayStep::Press:
    case ReplayStep::Release:
      controls.fieldKey(static_cast<int>(s.value), s.kind == ReplayStep::Press);
      return true;
    case ReplayStep::Click:
      // A button that is not there was there in the recording: this game went its own way.
      if (!(game.*kButtons[s.value].button).Visible) {
        differsAt_ = s.line, differsUs_ = game.clock.nowUs;
        return false;
      }
      controls.click(static_cast<int>(s.value));
      return true;
    case ReplayStep::Focus: controls.focus(s.value != 0); return true;
    case ReplayStep::Check:
      if (stateHash(game) != s.value)
        differsAt_ = s.line, differsUs_ = game.clock.nowUs;
      else
        ++checks_;
      return false;
    case ReplayStep::Seed: game.rnd.reseed(s.value); return false;
    case ReplayStep::Floor: game.clock.setFloor(static_cast<int>(s.value)); return false;
    case ReplayStep::End: ended_ = true; return false;
  }
  return false;
}

std::string ReplayRun::verdict() const {
  if (differsAt_ >= 0)
    return "replay differs from the recording at " + secondsText(differsUs_) + " (line " +
           std::to_string(differsAt_) + ")";
  std::string v = "replay verified: " + std::to_string(checks_) + " checks";
  if (!replay_.complete) {
    std::int64_t last = 0;
    for (const ReplayStep& s : replay_.steps) last = s.us > last ? s.us : last;
    v += "; the recording ends at " + secondsText(last);
  }
  return v;
}

}  // namespace mazeblast
