// mazeblast-sim: runs one game headless on a virtual clock, driven by a script of commands.
#pragma once

#include <cstdint>
#include <iosfwd>

namespace mazeblast {

// Reads commands from `in`, one a line, writes what they print to `out` and errors as
// "line N: message" to `err`. Returns 1 if any line failed, else 0.
int runScript(std::istream& in, std::ostream& out, std::ostream& err, std::uint64_t seed);

}  // namespace mazeblast
