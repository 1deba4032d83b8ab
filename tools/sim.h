// mazeblast-sim: runs one game headless on a virtual clock, driven by a script of commands.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace mazeblast {

struct Replay;

// Reads commands from `in`, one a line, writes what they print to `out` and errors as
// "line N: message" to `err`. Returns 1 if any line failed, else 0. Without `writesFiles`,
// screenshots are drawn and sounds mixed but nothing is written (a fuzzer's run).
// A script whose first line names it a recording is played as one: see runReplay.
int runScript(std::istream& in, std::ostream& out, std::ostream& err, std::uint64_t seed,
              bool writesFiles = true);

// Plays a recording as fast as it goes and writes its verdict to `out`: 0 when every check
// held, 1 where one differed.
int runReplay(const Replay& replay, std::ostream& out);

}  // namespace mazeblast
