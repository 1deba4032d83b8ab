#include "replay/link.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "replay/range_coder.h"
#include "scene/checksum.h"
#include "scene/registry.h"
#include "scene/state_hash.h"
#include "version.h"

namespace mazeblast {

using range::kProbBits;
using range::kProbHalf;
using range::number;
using range::NumberModel;
using range::prior;
using range::Prob;
using range::tree;

namespace {

// Where a step stands in its cell: at the same moment as the step before it, at the cell's
// start, at its end, or at its own microsecond.
enum Place : std::uint32_t { Same, Start, Finish, Exact };

// The kinds of step as a link numbers them, the usual first, and the end of the link.
enum LinkKind : std::uint32_t {
  kRelease,
  kPress,
  kClick,
  kFocus,
  kCheck,
  kWait,
  kEnd,
  kSeed,
  kFloor,
  kOver,
  kLinkKinds
};
// By ReplayStep::Kind: Wait, Press, Release, Click, Focus, Check, Seed, Floor, End.
constexpr LinkKind kLinkKindOf[] = {kWait,  kPress, kRelease, kClick, kFocus,
                                    kCheck, kSeed,  kFloor,   kEnd};
constexpr ReplayStep::Kind kStepKindOf[] = {
    ReplayStep::Release, ReplayStep::Press, ReplayStep::Click, ReplayStep::Focus, ReplayStep::Check,
    ReplayStep::Wait,    ReplayStep::End,   ReplayStep::Seed,  ReplayStep::Floor};

bool isInput(std::uint32_t k) {
  return k <= kFocus;
}

// How often each comes in play, as the coder's start: a game is mostly keys pressed and let
// go.
//                                 release press click focus check wait end seed floor over
constexpr std::array<int, 10> kKindWeights = {40, 40, 2, 1, 2, 1, 1, 1, 1, 1};

// The keys a player uses, in the order of kUsualKeyWeights; any other comes after them.
constexpr int kUsualKeys[] = {kKeyLeft,  kKeyUp, kKeyRight, kKeyDown, kKeySpace,
                              kKeyEnter, kKeyP,  kKeyQ,     kKeyM};
constexpr std::uint32_t kOtherKey = std::size(kUsualKeys);
//                                         left up right down space enter  P  Q  M  other
constexpr std::array<int, 10> kUsualKeyWeights = {12, 12, 12, 12, 10, 4, 3, 1, 1, 1};

// Where steps stand in their cells: most move to the start; a click starts a timer, so it
// keeps its own microsecond.
//                                       same start finish exact
constexpr std::array<int, 4> kPlaceWeights = {4, 80, 12, 4};
constexpr std::array<int, 4> kClickPlaceWeights = {4, 4, 4, 88};

// The widths of a wait in cells: most waits are a few cells to a few dozen.
//                                          0  1   2   3   4   5  6  7  8  9  10 11 12 13 14
constexpr std::array<int, 15> kWaitWidthWeights = {8, 10, 12, 12, 10, 8, 5, 3, 2, 1, 1, 1, 1, 1, 1};

// The waits, each with what it learns: a press after a key let go or after anything else; a
// key let go by the kind of key; and every other kind of step.
enum WaitKind {
  kPressAfterRelease,
  kPressAfterOther,
  kLetGoSpace,
  kLetGoArrow,
  kLetGoOther,
  kWaitKinds = kLetGoOther + kLinkKinds
};

}  // namespace

// What the coder has learned so far, the same on both sides.
struct LinkModel {
  // The kind of each step, by what came before (a key let go, one pressed, anything else)
  // and whether a key is held.
  std::array<std::array<Prob, 16>, 6> kind;
  std::array<std::array<Prob, 4>, kLinkKinds> place;
  std::array<NumberModel, kWaitKinds> wait;
  // The key held last: pressed again (its own repeat), or let go.
  Prob repeat, letGo;
  std::array<Prob, 16> usualKey;
  std::array<Prob, 256> otherKey;
  std::array<Prob, 4> button;
  Prob focus;
  NumberModel floor, header;

  std::uint32_t previous = kOver;
  // The keys held, in the order they were pressed.
  std::array<std::uint8_t, 256> held{};
  int heldCount = 0;

  LinkModel() {
    for (auto& k : kind) prior(k.data(), 4, kKindWeights);
    for (std::uint32_t k = 0; k < kLinkKinds; ++k)
      prior(place[k].data(), 2, k == kClick ? kClickPlaceWeights : kPlaceWeights);
    for (NumberModel& w : wait) prior(w.width.data(), 6, kWaitWidthWeights);
    // A key held is most often let go next, and now and then repeats.
    repeat.p = (1 << kProbBits) - kProbHalf / 2;
    letGo.p = kProbHalf / 8;
    prior(usualKey.data(), 4, kUsualKeyWeights);
  }

  template <class Coder>
  void kindOf(Coder& c, std::uint32_t& k) {
    const std::uint32_t before = previous <= kPress ? previous : 2;
    tree(c, kind[before + 3 * (heldCount > 0)].data(), 4, k);
    previous = k;
  }

  // What the step carries: a key, a button, a hash, a seed...
  template <class Coder>
  void payload(Coder& c, std::uint32_t k, ReplayStep& s) {
    std::uint32_t code = static_cast<std::uint32_t>(s.value);
    switch (k) {
      case kPress:
      case kRelease: {
        const bool press = k == kPress;
        const std::uint32_t last = heldCount > 0 ? held[heldCount - 1] : 256;
        std::uint32_t same = code == last;
        if (last < 256) c.bit(press ? repeat : letGo, same);
        if (same) {
          code = last;
        } else {
          std::uint32_t usual = static_cast<std::uint32_t>(
              std::find(std::begin(kUsualKeys), std::end(kUsualKeys), static_cast<int>(code)) -
              std::begin(kUsualKeys));
          tree(c, usualKey.data(), 4, usual);
          if (usual >= kOtherKey)
            tree(c, otherKey.data(), 8, code);
          else
            code = static_cast<std::uint32_t>(kUsualKeys[usual]);
        }
        s.value = code;
        auto* end = held.begin() + heldCount;
        auto* at = std::find(held.begin(), end, static_cast<std::uint8_t>(code));
        if (press && at == end) held[heldCount++] = static_cast<std::uint8_t>(code);
        if (!press && at != end) std::copy(at + 1, end, at), --heldCount;
        break;
      }
      case kClick: tree(c, button.data(), 2, code), s.value = code; break;
      case kFocus: c.bit(focus, code), s.value = code; break;
      case kCheck: check(c, s.value); break;
      case kSeed: c.direct(s.value, 64); break;
      case kFloor: number(c, floor, s.value); break;
      default: break;
    }
  }

  template <class Coder>
  void check(Coder& c, std::uint64_t& hash) {
    c.direct(hash, kLinkCheckBits);
  }

  // Where the step stands: its place, the cells since the last step, and its microsecond in
  // the cell where it keeps its own.
  template <class Coder>
  void when(Coder& c, std::uint32_t k, const ReplayStep& s, std::uint32_t& at, std::uint64_t& cells,
            std::uint64_t& offset, int offsetBits, std::uint32_t before) {
    tree(c, place[k].data(), 2, at);
    if (at == Same) return;
    int w = kLetGoOther + static_cast<int>(k);
    if (k == kPress) w = before == kRelease ? kPressAfterRelease : kPressAfterOther;
    if (k == kRelease)
      w = s.value == kKeySpace                         ? kLetGoSpace
          : s.value >= kKeyLeft && s.value <= kKeyDown ? kLetGoArrow
                                                       : kLetGoOther;
    number(c, wait[w], cells);
    if (at == Exact) c.direct(offset, offsetBits);
  }
};

namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

std::int64_t floorMod(std::int64_t a, std::int64_t b) {
  return a - floorDiv(a, b) * b;
}

int widthOf(std::uint64_t v) {
  return 64 - std::countl_zero(v);
}

// The header: the game's version, then the cells of the clock.
template <class Coder>
void header(Coder& c, LinkModel& m, std::string& game, std::int64_t& period, std::int64_t& phase) {
  std::uint64_t n = game.size();
  number(c, m.header, n);
  game.resize(std::min<std::uint64_t>(n, 32));
  for (char& ch : game) {
    std::uint64_t v = static_cast<unsigned char>(ch);
    c.direct(v, 8);
    ch = static_cast<char>(v);
  }
  std::uint64_t p = static_cast<std::uint64_t>(period), f = static_cast<std::uint64_t>(phase);
  number(c, m.header, p);
  number(c, m.header, f);
  period = static_cast<std::int64_t>(std::min<std::uint64_t>(p, INT64_MAX));
  phase = static_cast<std::int64_t>(std::min<std::uint64_t>(f, INT64_MAX));
}

constexpr std::string_view kNoReplay = "the link holds no replay: ";
constexpr const char* kTooLong = "too long for a link: an address holds 2 MB at most";

}  // namespace

// ---- Text of a link ----------------------------------------------------------------------

std::string_view linkPayload(std::string_view text) {
  const std::size_t b = text.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  text = text.substr(b, text.find_last_not_of(" \t\r\n") - b + 1);
  constexpr std::string_view kKey = "replay=";
  const std::size_t at = text.find("#replay=");
  if (at != std::string_view::npos) return text.substr(at + 1 + kKey.size());
  if (text.substr(0, kKey.size()) == kKey) return text.substr(kKey.size());
  return {};
}

std::string toBase64Url(const std::uint8_t* bytes, std::size_t size) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string out;
  out.reserve((size * 4 + 2) / 3);
  for (std::size_t i = 0; i < size; i += 3) {
    const std::uint32_t v = (std::uint32_t{bytes[i]} << 16) |
                            (i + 1 < size ? std::uint32_t{bytes[i + 1]} << 8 : 0) |
                            (i + 2 < size ? bytes[i + 2] : 0u);
    const std::size_t digits = std::min<std::size_t>(4, size - i + 1);
    for (std::size_t d = 0; d < digits; ++d) out += kDigits[(v >> (18 - 6 * d)) & 63];
  }
  return out;
}

bool fromBase64Url(std::string_view text, std::vector<std::uint8_t>& bytes) {
  while (!text.empty() && text.back() == '=') text.remove_suffix(1);
  if (text.size() % 4 == 1) return false;
  bytes.clear();
  bytes.reserve(text.size() * 3 / 4);
  std::uint32_t acc = 0;
  int bits = 0;
  for (const char ch : text) {
    int v;
    if (ch >= 'A' && ch <= 'Z')
      v = ch - 'A';
    else if (ch >= 'a' && ch <= 'z')
      v = ch - 'a' + 26;
    else if (ch >= '0' && ch <= '9')
      v = ch - '0' + 52;
    else if (ch == '-' || ch == '+')
      v = 62;  // plain base64 too, as a chat may turn it
    else if (ch == '_' || ch == '/')
      v = 63;
    else
      return false;
    acc = (acc << 6) | static_cast<std::uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<std::uint8_t>(acc >> bits));
    }
  }
  return true;
}

// ---- Making a link -----------------------------------------------------------------------

LinkEncoder::LinkEncoder(Replay replay, std::size_t maxBytes)
    : replay_(std::move(replay)), maxBytes_(maxBytes) {}

LinkEncoder::~LinkEncoder() = default;

std::string LinkEncoder::fragment() const {
  return "#replay=" + toBase64Url(bytes_.data(), bytes_.size());
}

std::int64_t LinkEncoder::cellOf(std::int64_t us) const {
  return floorDiv(us - phase_, period_);
}

void LinkEncoder::tick(std::int64_t us) {
  // A cell with more ticks than this is no place to move a step in.
  constexpr std::size_t kMostTicks = 64;
  const std::int64_t c = cellOf(us);
  if (c == cell_) {
    ticks_.size() < kMostTicks ? ticks_.push_back(us) : void(crowded_ = true);
    return;
  }
  if (c != laterCell_) laterTicks_.clear(), laterCell_ = c, laterCrowded_ = false;
  laterTicks_.size() < kMostTicks ? laterTicks_.push_back(us) : void(laterCrowded_ = true);
}

void LinkEncoder::observe() {
  // Tmr1's ticks are counted, not run: they fall on the cells' starts, or the cell is no
  // place to move a step in.
  const Timer& waste = game().Tmr1;
  if (waste.enabled() &&
      (waste.periodUs() % period_ != 0 || floorMod(waste.dueAfterNow() - phase_, period_) != 0))
    aligned_ = false;
}

void LinkEncoder::enter(std::int64_t us) {
  const std::int64_t c = cellOf(us);
  if (c != cell_) {
    flushCell();
    cell_ = c;
    ticks_.clear();
    crowded_ = false;
    if (laterCell_ == c) ticks_.swap(laterTicks_), crowded_ = laterCrowded_;
    laterTicks_.clear();
    laterCell_ = -1;
    aligned_ = true;
  }
  observe();
}

void LinkEncoder::add(const ReplayStep& step, std::int64_t us, std::int64_t nextDue, bool sensitive,
                      std::uint64_t check) {
  Pending p{step, us, nextDue, sensitive, false, check};
  const std::uint32_t k = kLinkKindOf[step.kind];
  // A click, and the first input a few seconds after the last check, carry a check of the
  // game as that input left it; so do a link's checks and its end.
  if (isInput(k) && (k == kClick || cell_ - lastCheckCell_ >= checkCells_))
    p.checked = true, p.check = stateHash(game());
  if (p.checked || k == kCheck || k == kEnd) lastCheckCell_ = cell_;
  pending_.push_back(p);
  // What the step did to Tmr1 counts for the rest of its cell.
  observe();
}

void LinkEncoder::flushCell() {
  if (pending_.empty()) return;
  const std::int64_t start = phase_ + cell_ * period_, end = start + period_ - 1;
  const std::int64_t first = std::max<std::int64_t>(start, 0);
  const bool movable = aligned_ && !crowded_;
  auto noTickIn = [&](std::int64_t from, std::int64_t to) {  // (from, to]
    return std::none_of(ticks_.begin(), ticks_.end(),
                        [&](std::int64_t t) { return t > from && t <= to; });
  };
  auto toStart = [&](const Pending& p) { return movable && !p.sensitive && noTickIn(first, p.us); };
  // Moved later, a step must find no tick due on the way that it would have cancelled.
  auto toEnd = [&](const Pending& p) { return movable && !p.sensitive && p.nextDue > end; };
  // The first steps move to the cell's start, the last ones to its end, where no tick lies
  // between; the ones between keep their microseconds. A step taken at the same moment as
  // the one before it stays with it.
  const int n = static_cast<int>(pending_.size());
  int starts = 0;
  while (starts < n && toStart(pending_[starts])) ++starts;
  int ends = n;
  while (ends > starts && toEnd(pending_[ends - 1]) &&
         !(ends - 2 >= starts && pending_[ends - 2].us == pending_[ends - 1].us &&
           !toEnd(pending_[ends - 2])))
    --ends;
  for (int i = 0; i < n; ++i) {
    const Pending& p = pending_[i];
    const Place place = i < starts ? Start : i >= ends ? Finish : Exact;
    const std::int64_t us = place == Start ? first : place == Finish ? end : p.us;
    code(p, us == lastUs_ ? Same : place, us - start);
    lastUs_ = us;
  }
  pending_.clear();
}

void LinkEncoder::code(const Pending& p, int place, std::int64_t offset) {
  ReplayStep s = p.step;
  std::uint32_t k = kLinkKindOf[s.kind];
  const std::uint32_t before = model_->previous;
  model_->kindOf(*coder_, k);
  model_->payload(*coder_, k, s);
  std::uint32_t at = static_cast<std::uint32_t>(place);
  std::uint64_t cells = static_cast<std::uint64_t>(cell_ - lastCell_);
  std::uint64_t micro = static_cast<std::uint64_t>(offset);
  model_->when(*coder_, k, s, at, cells, micro, widthOf(static_cast<std::uint64_t>(period_ - 1)),
               before);
  std::uint64_t check = p.check;
  if (p.checked || k == kEnd) model_->check(*coder_, check);
  lastCell_ = cell_;
}

void LinkEncoder::start() {
  started_ = true;
  session_ = std::make_unique<Session>(Session::Setup{});
  run_ = std::make_unique<ReplayRun>(replay_);
  // The cells follow Tmr1 as the game's first steps (its seed and its floor) leave it.
  const Timer& waste = game().Tmr1;
  period_ = waste.periodUs();
  for (const ReplayStep& s : replay_.steps) {
    if (s.us >= 0 || (s.kind != ReplayStep::Seed && s.kind != ReplayStep::Floor)) break;
    if (s.kind == ReplayStep::Floor)
      period_ = std::max<std::int64_t>(waste.interval(), static_cast<std::int64_t>(s.value)) * 1000;
  }
  phase_ = floorMod(waste.due(), period_);
  checkCells_ = std::max<std::int64_t>(1, kLinkCheckEveryUs / period_);
  lastCell_ = cell_ = lastCheckCell_ = cellOf(0);
  coder_ = std::make_unique<range::Encoder>();
  model_ = std::make_unique<LinkModel>();
  std::string game = replay_.game.empty() ? MAZEBLAST_VERSION : replay_.game;
  header(*coder_, *model_, game, period_, phase_);
}

bool LinkEncoder::run(int budget) {
  if (done_) return true;
  if (!started_) start();
  // Where every tick falls; what it sounds like is no matter here.
  auto ticked = [&](SoundEvents) { tick(game().clock.nowUs); };
  while (budget > 0 && !done_) {
    const ReplayStep* s = run_->upcoming();
    if (!s) {
      finish();
      break;
    }
    budget -= s->kind == ReplayStep::Check ? kCheckCost : 1;
    const std::int64_t us = std::max(s->us, game().clock.nowUs);
    // A minute of the game's clock at most a slice, so that a long wait holds nothing up.
    constexpr std::int64_t kLongestSliceUs = 60000000;
    if (us - game().clock.nowUs > kLongestSliceUs) {
      session_->advanceTo(game().clock.nowUs + kLongestSliceUs, ticked);
      continue;
    }
    session_->advanceTo(us, ticked);
    enter(us);
    const ReplayStep step = *s;
    const std::int64_t due = nextTick(game());
    // The game's last state is checked at its end.
    const std::uint64_t last = step.kind == ReplayStep::End ? stateHash(game()) : 0;
    const std::uint64_t started = game().clock.startedFromNow;
    run_->step(*session_, HearNothing{});
    if (run_->differs()) {
      error_ = run_->verdict();
      done_ = true;
      break;
    }
    if (step.kind != ReplayStep::Check) {
      add(step, us, due, game().clock.startedFromNow != started, last);
      ended_ = step.kind == ReplayStep::End;
    } else if (const int buttons = buttonsShown(game());
               buttons != lastButtons_ || cellOf(us) - lastCheckCell_ >= 2 * checkCells_) {
      // The recording's own checks where a button came or went, and in a long stretch of
      // play without an input.
      ReplayStep check = step;
      check.value &= (std::uint64_t{1} << kLinkCheckBits) - 1;
      add(check, us, due, false, 0);
      lastButtons_ = buttons;
    }
    if (coder_->size() > maxBytes_) {
      error_ = kTooLong;
      done_ = true;
    }
  }
  return done_;
}

void LinkEncoder::finish() {
  if (!ended_) {
    // Cut off: what the game had come to is checked at its last step.
    ReplayStep check;
    check.kind = ReplayStep::Check;
    check.value = stateHash(game()) & ((std::uint64_t{1} << kLinkCheckBits) - 1);
    enter(game().clock.nowUs);
    add(check, game().clock.nowUs, nextTick(game()), false, 0);
  }
  flushCell();
  std::uint32_t over = kOver;
  model_->kindOf(*coder_, over);
  const std::vector<std::uint8_t> body = coder_->finish();
  bytes_ = {kLinkMark, static_cast<std::uint8_t>(kLinkFormat)};
  bytes_.insert(bytes_.end(), body.begin(), body.end());
  const std::uint32_t crc = crc32(bytes_.data(), bytes_.size());
  for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
  if (bytes_.size() > maxBytes_) error_ = kTooLong, bytes_.clear();
  done_ = true;
}

// ---- Reading a link ----------------------------------------------------------------------

LinkReader::LinkReader(std::vector<std::uint8_t> bytes, std::size_t largest)
    : bytes_(std::move(bytes)), largest_(largest) {}

LinkReader::~LinkReader() = default;

bool LinkReader::fail(const std::string& what) {
  replay_ = Replay{};
  replay_.error = what;
  done_ = true;
  return false;
}

bool LinkReader::start() {
  // The links of format 1, the recording's text deflated, began otherwise than with the mark.
  const int format = bytes_.empty()           ? 0
                     : bytes_[0] != kLinkMark ? 1
                     : bytes_.size() > 1      ? bytes_[1]
                                              : 0;
  if (format != 0 && format != kLinkFormat)
    return fail(std::string(kNoReplay) + "a link of format " + std::to_string(format) +
                ", not one this game reads (" + std::to_string(kLinkFormat) + ")");
  if (bytes_.size() < 2 + 4) return fail(std::string(kNoReplay) + "it is cut off");
  const std::size_t body = bytes_.size() - 4;
  std::uint32_t crc = 0;
  for (int i = 3; i >= 0; --i) crc = (crc << 8) | bytes_[body + static_cast<std::size_t>(i)];
  if (crc != crc32(bytes_.data(), body))
    return fail(std::string(kNoReplay) + "it is damaged or cut off");
  replay_ = Replay{};
  coder_ = std::make_unique<range::Decoder>(bytes_.data() + 2, body - 2);
  model_ = std::make_unique<LinkModel>();
  header(*coder_, *model_, replay_.game, period_, phase_);
  const bool printable = std::all_of(replay_.game.begin(), replay_.game.end(),
                                     [](char ch) { return ch >= ' ' && ch <= '~'; });
  if (!printable || period_ < 1 || period_ > 60000000 || phase_ >= period_)
    return fail(std::string(kNoReplay) + "it is damaged");
  checkCells_ = std::max<std::int64_t>(1, kLinkCheckEveryUs / period_);
  lastUs_ = 0;
  lastCell_ = lastCheckCell_ = floorDiv(-phase_, period_);
  textBytes_ = replayText(replay_).size();
  return true;
}

bool LinkReader::emit(ReplayStep s) {
  s.line = 2 + static_cast<int>(lines_++);
  replay_.complete = s.kind == ReplayStep::End;
  // Measured as the text it stands for.
  line_.clear();
  appendReplayLine(line_, s);
  textBytes_ += line_.size();
  if (textBytes_ > largest_) return fail(largerThanAnyRecording(largest_));
  if (keeping_) replay_.steps.push_back(s);
  return true;
}

bool LinkReader::step() {
  const std::string damaged = std::string(kNoReplay) + "it is damaged";
  std::uint32_t k = 0;
  const std::uint32_t before = model_->previous;
  model_->kindOf(*coder_, k);
  if (k == kOver) {
    if (coder_->overrun()) return fail(std::string(kNoReplay) + "it is cut off");
    if (keeping_) return done_ = true, false;
    // Measured, and no larger than a recording: now read it again, keeping it.
    keeping_ = true;
    lines_ = 0;
    return start();
  }
  if (k > kOver || replay_.complete || coder_->overrun()) return fail(damaged);
  ReplayStep s;
  s.kind = kStepKindOf[k];
  if (k == kCheck) s.checkBits = kLinkCheckBits;
  model_->payload(*coder_, k, s);
  std::uint32_t at = 0;
  std::uint64_t cells = 0, offset = 0;
  model_->when(*coder_, k, s, at, cells, offset, widthOf(static_cast<std::uint64_t>(period_ - 1)),
               before);
  if (at != Same) {
    if (cells > static_cast<std::uint64_t>(kLastReplayUs / period_) + 2 ||
        offset >= static_cast<std::uint64_t>(period_))
      return fail(damaged);
    lastCell_ += static_cast<std::int64_t>(cells);
    const std::int64_t start = phase_ + lastCell_ * period_;
    const std::int64_t us = at == Start    ? std::max<std::int64_t>(start, 0)
                            : at == Finish ? start + period_ - 1
                                           : start + static_cast<std::int64_t>(offset);
    if (us < lastUs_ || us > kLastReplayUs) return fail(damaged);
    lastUs_ = us;
  }
  if ((k == kClick && s.value > 3) || (k == kFloor && s.value > 60000)) return fail(damaged);
  s.us = lastUs_;
  ReplayStep check;
  check.kind = ReplayStep::Check;
  check.us = lastUs_;
  check.checkBits = kLinkCheckBits;
  const bool checked = isInput(k) && (k == kClick || lastCell_ - lastCheckCell_ >= checkCells_);
  if (checked || k == kCheck || k == kEnd) lastCheckCell_ = lastCell_;
  if (checked || k == kEnd) model_->check(*coder_, check.value);
  if (k == kEnd && !emit(check)) return false;
  return emit(s) && (!checked || emit(check));
}

bool LinkReader::run(int budget) {
  if (!done_ && !coder_ && !start()) return true;
  while (!done_ && budget-- > 0) step();
  return done_;
}

}  // namespace mazeblast
