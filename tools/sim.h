// mazeblast-sim: runs one game headless on a virtual clock, driven by a script of commands.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace mazeblast {

// Reads commands from `in`, one a line, writes what they print to `out` and errors as
// "line N: message" to `err`. Returns 1 if any line failed, else 0.
// A script whose first line names it a recording is played as one: see runReplay.
int runScript(std::istream& in, std::ostream& out, std::ostream& err, std::uint64_t seed);

// Plays a recording (the whole file in `text`) as fast as it goes and writes its verdict to
// `out`: 0 when every check held, 1 where one differed or the file is no recording this game
// can play (one line naming `name`, the line and what is wrong, on `err`).
int runReplay(std::string_view text, const std::string& name, std::ostream& out, std::ostream& err);

}  // namespace mazeblast
