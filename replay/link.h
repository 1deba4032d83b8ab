// Replay links: a recording packed small enough to send in a chat message, after the `#` of
// the game page's address, where it never reaches a server:
//
//   https://host/mazeblast/#replay=_wL...
//
// The fragment is base64url: the recording's steps in a binary form of their own, coded with
// an adaptive binary range coder. Its bytes begin with 0xFF and the format number, and end
// with a CRC-32. (The links of format 1, the recording's text deflated, were never released,
// and are refused as any link of another format is.)
//
// The link is the same game exactly. An input whose handler starts no timer depends only on
// which ticks came before it, not on its microsecond: it is moved to the start or the end of
// its 16 ms cell between two ticks of Tmr1, wherever no other tick lies between; where that
// cannot be, the step keeps its exact time. Checks keep 16 bits of the state hash and come at
// every screen change, every few seconds of play and at the end, so a replay that goes its own
// way is still caught within seconds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "replay/playback.h"
#include "replay/recording.h"
#include "scene/session.h"

namespace mazeblast {

constexpr int kLinkFormat = 2;
constexpr std::uint8_t kLinkMark = 0xFF;
// How many low bits of the state hash a link's check keeps, and how often a link checks at
// least, on the game's clock.
constexpr int kLinkCheckBits = 16;
constexpr std::int64_t kLinkCheckEveryUs = 3000000;
// The longest address a browser takes; a link past it is no link.
constexpr std::size_t kLongestAddress = std::size_t{2} << 20;

// What follows "#replay=" in a link (the whole address, or just its fragment with or without
// the "#"); empty where `text` is no replay link.
std::string_view linkPayload(std::string_view text);

std::string toBase64Url(const std::uint8_t* bytes, std::size_t size);
// False where `text` is not base64url.
bool fromBase64Url(std::string_view text, std::vector<std::uint8_t>& bytes);

namespace range {
class Encoder;
class Decoder;
}  // namespace range
struct LinkModel;

// Makes the link of a recording by playing it on a game of its own, which tells where every
// tick falls and which inputs start timers. A recording that goes its own way on the way
// (a check that differs) makes no link.
class LinkEncoder {
 public:
  // At most `maxBytes` of link: a longer one is refused.
  explicit LinkEncoder(Replay replay, std::size_t maxBytes = kLongestAddress);
  ~LinkEncoder();

  // Plays on for about `budget` steps (a check counts as kCheckCost); true once the link is
  // made or refused.
  bool run(int budget = kNoBudget);
  // Why no link was made; empty when one was.
  const std::string& error() const { return error_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  // "#replay=..."
  std::string fragment() const;

 private:
  struct Pending {
    ReplayStep step;
    std::int64_t us;       // when the game took it
    std::int64_t nextDue;  // the tick due next as it came
    bool sensitive;        // it started a timer: its time must stay exact
    bool checked;          // a check of the game as it left it comes with it
    std::uint64_t check;   // that check's hash, and the last one's at the end
  };
  void start();
  // Where a step at `us` comes: its cell, whose places the cell before now takes.
  void enter(std::int64_t us);
  void observe();
  void tick(std::int64_t us);
  void add(const ReplayStep& step, std::int64_t us, std::int64_t nextDue, bool sensitive,
           std::uint64_t check);
  void flushCell();
  void code(const Pending& p, int place, std::int64_t offset);
  void finish();
  std::int64_t cellOf(std::int64_t us) const;

  const Replay replay_;
  std::size_t maxBytes_;
  Frmbomb& game() { return session_->game(); }

  std::unique_ptr<Session> session_;
  std::unique_ptr<ReplayRun> run_;
  std::unique_ptr<range::Encoder> coder_;
  std::unique_ptr<LinkModel> model_;
  bool started_ = false, done_ = false, ended_ = false;
  std::string error_;
  std::vector<std::uint8_t> bytes_;

  // The cells of the game's clock: `period_` long, the first starting at `phase_`.
  std::int64_t period_ = 16000, phase_ = 0, checkCells_ = 1;
  // The cell whose steps wait for their places, and the ticks seen in it and in the latest
  // cell after it.
  std::int64_t cell_ = -1;
  std::vector<Pending> pending_;
  std::vector<std::int64_t> ticks_, laterTicks_;
  std::int64_t laterCell_ = -1;
  bool aligned_ = true, crowded_ = false, laterCrowded_ = false;
  // Where the last step coded stands, and the cell of the last check.
  std::int64_t lastUs_ = 0, lastCell_ = -1, lastCheckCell_ = -1;
  int lastButtons_ = -1;
};

// Reads a link's bytes back into the recording they stand for, a slice at a time, its steps
// numbered as the lines of replayText. Refuses, in one line, a link of another format, a
// damaged or cut-off one, and one that would unpack to more than any recording: the link is
// read through once to be measured, and only then kept.
class LinkReader {
 public:
  explicit LinkReader(std::vector<std::uint8_t> bytes, std::size_t largest = kLargestRecording);
  ~LinkReader();

  // Reads on for about `budget` steps; true once the recording is read or refused.
  bool run(int budget = kNoBudget);
  // The recording, or why there is none: "the link holds no replay: ...", "larger than any
  // recording (64 MB)".
  Replay take() { return std::move(replay_); }
  // The link's bytes.
  const std::vector<std::uint8_t>& packed() const { return bytes_; }

 private:
  bool start();
  bool step();
  bool emit(ReplayStep s);
  bool fail(const std::string& what);

  std::vector<std::uint8_t> bytes_;
  std::size_t largest_;
  std::unique_ptr<range::Decoder> coder_;
  std::unique_ptr<LinkModel> model_;
  Replay replay_;
  bool keeping_ = false, done_ = false;
  std::size_t textBytes_ = 0, lines_ = 0;
  std::string line_;
  std::int64_t period_ = 0, phase_ = 0, checkCells_ = 1;
  std::int64_t lastUs_ = 0, lastCell_ = -1, lastCheckCell_ = -1;
};

}  // namespace mazeblast
