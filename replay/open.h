// A recording opened from wherever it comes: a file, a link, or a stream already open.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace mazeblast {

struct Replay;

// A recording to watch or check: a file, a link (the whole address, or what follows its
// `#`), or a file that holds a link. Nothing larger than any recording is read or unpacked;
// false with one line in `error` that names the file or the link.
bool openReplay(const std::string& source, Replay& replay, std::string* error);
// The same from a stream already open (a script's standard input), named `name`.
bool readReplayFrom(std::FILE* in, const std::string& name, std::string_view start, Replay& replay,
                    std::string* error);

}  // namespace mazeblast
