#include "replay/recording.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "scene/registry.h"
#include "scene/state_hash.h"
#include "version.h"

namespace mazeblast {

namespace {

constexpr std::string_view kHeader = "# RMO Mazeblast replay, format ";

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
    // All sixteen digits of the hash, as the game writes it, or its last few, as a link
    // keeps it.
    step.kind = ReplayStep::Check;
    std::uint64_t hash = 0;
    const bool good = !arg.empty() && arg.size() <= 16 &&
                      parseStateHash(std::string(16 - arg.size(), '0') + std::string(arg), hash);
    step.value = hash;
    step.checkBits = static_cast<std::uint8_t>(4 * arg.size());
    return good ? "" : "bad state hash '" + std::string(arg) + "'";
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
  if (!whole(whole_part, seconds) || seconds > kLastReplayUs / 1000000) return false;
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
  int n = 3 + formatReplayTime(game_->clock.nowUs, at + 3);
  at[n++] = ' ';
  std::memcpy(at + n, command.data(), command.size());
  line(std::string_view(at, n + command.size()), argument);
}

void ReplayWriter::begin(const Frmbomb& game, std::uint64_t seed, int floorMs) {
  game_ = &game;
  line(std::string(kHeader) + std::to_string(kReplayFormat) + ", game " MAZEBLAST_VERSION, "");
  line("seed", std::to_string(seed));
  line("floor", std::to_string(floorMs));
  lastCheckUs_ = game.clock.nowUs;
  buttons_ = buttonsShown(game);
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

void ReplayWriter::settled() {
  const int shown = buttonsShown(*game_);
  if (shown == buttons_ && game_->clock.nowUs - lastCheckUs_ < kCheckEveryUs) return;
  screenChanged_ = screenChanged_ || shown != buttons_;
  buttons_ = shown;
  lastCheckUs_ = game_->clock.nowUs;
  char hex[16];
  formatStateHash(stateHash(*game_), hex);
  timedLine("check", std::string_view(hex, 16));
}

void ReplayWriter::end() {
  timedLine("end", "");
  screenChanged_ = true;
}

// ---- Reading -----------------------------------------------------------------------------

std::string largerThanAnyRecording(std::size_t largest) {
  return largest >= (1 << 20)
             ? "larger than any recording (" + std::to_string(largest >> 20) + " MB)"
             : "larger than any recording (" + std::to_string(largest) + " bytes)";
}

void ReplayReader::fail(const std::string& what) {
  r_.error = what;
  r_.steps = {};
  partial_ = {};
}

// A line longer than any the game writes, comments included, ends the reading there.
constexpr std::size_t kLongestLine = 4096;

bool ReplayReader::feed(std::string_view text) {
  if (!r_.error.empty()) return false;
  bytes_ += text.size();
  if (bytes_ > largest_) {
    fail(largerThanAnyRecording(largest_));
    return false;
  }
  while (!text.empty() && r_.error.empty()) {
    const std::size_t eol = text.find('\n');
    if (eol == std::string_view::npos) {
      partial_.append(text);
      if (partial_.size() > kLongestLine)
        fail("line " + std::to_string(number_ + 1) + ": longer than any line of a recording");
      break;
    }
    if (partial_.empty()) {
      line(text.substr(0, eol));
    } else {
      partial_.append(text.substr(0, eol));
      const std::string whole = std::move(partial_);
      partial_.clear();
      line(whole);
    }
    text.remove_prefix(eol + 1);
  }
  return r_.error.empty();
}

void ReplayReader::line(std::string_view s) {
  ++number_;
  if (s.size() > kLongestLine)
    return fail("line " + std::to_string(number_) + ": longer than any line of a recording");
  if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
  if (number_ == 1) {
    int format = 0;
    const std::string_view rest = s.substr(std::min(s.size(), kHeader.size()));
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), format);
    if (s.substr(0, kHeader.size()) != kHeader || ec != std::errc() || format < 1 ||
        (end != rest.data() + rest.size() && *end != ','))
      return fail("line 1: not a replay of RMO Mazeblast");
    if (format > kReplayFormat)
      return fail("line 1: a replay of format " + std::to_string(format) +
                  ", newer than this game reads (" + std::to_string(kReplayFormat) + ")");
    constexpr std::string_view kGame = ", game ";
    const std::string_view made(end, rest.data() + rest.size() - end);
    // A version as versions are written, or none.
    const std::string_view game = made.substr(std::min(made.size(), kGame.size()), 32);
    if (made.substr(0, kGame.size()) == kGame &&
        game.find_first_not_of("0123456789.-+~abcdefghijklmnopqrstuvwxyz") == std::string::npos)
      r_.game = game;
    return;
  }
  const std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos || s[first] == '#') return;
  auto failHere = [&](const std::string& what) {
    fail("line " + std::to_string(number_) + ": " + what);
  };
  if (r_.complete) return failHere("nothing may follow the end");
  ReplayStep step;
  step.line = number_;
  if (const std::string e = parseLine(s.substr(first), step); !e.empty()) return failHere(e);
  if (step.us >= 0) {
    if (step.us < lastUs_)
      return failHere("time runs backwards (" + secondsText(step.us) + " after " +
                      secondsText(lastUs_) + ")");
    lastUs_ = step.us;
  }
  r_.complete = step.kind == ReplayStep::End;
  r_.steps.push_back(step);
}

Replay ReplayReader::finish() {
  if (r_.error.empty() && number_ == 0) fail("line 0: not a replay of RMO Mazeblast");
  partial_ = {};
  return std::move(r_);
}

Replay readReplay(std::string_view text) {
  ReplayReader reader;
  reader.feed(text);
  return reader.finish();
}

void appendReplayLine(std::string& text, const ReplayStep& s) {
  char buffer[64];
  if (s.us >= 0) {
    text += "at ";
    text.append(buffer, formatReplayTime(s.us, buffer));
    if (s.kind != ReplayStep::Wait) text += ' ';
  }
  static constexpr const char* kNames[] = {"",      "press", "release", "click", "focus",
                                           "check", "seed",  "floor",   "end"};
  text += kNames[s.kind];
  switch (s.kind) {
    case ReplayStep::Click: text += ' ', text += kButtons[s.value].name; break;
    case ReplayStep::Check: {
      // A short check is written as the digits it holds.
      const int digits = (s.checkBits + 3) / 4;
      formatStateHash(s.value, buffer);
      text += ' ', text.append(buffer + 16 - digits, digits);
      break;
    }
    case ReplayStep::Wait:
    case ReplayStep::End: break;
    default: text += ' ', text += std::to_string(s.value);
  }
  text += '\n';
}

std::string replayText(const Replay& replay) {
  std::string text = std::string(kHeader) + std::to_string(kReplayFormat);
  if (!replay.game.empty()) text += ", game " + replay.game;
  text += '\n';
  int line = 1;
  for (const ReplayStep& s : replay.steps) {
    // The lines a reading skipped (comments, blank lines) come back blank, so that every
    // step keeps its number.
    for (++line; line < s.line; ++line) text += '\n';
    appendReplayLine(text, s);
  }
  return text;
}

}  // namespace mazeblast
