#include "replay/open.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "replay/link.h"
#include "replay/recording.h"

namespace mazeblast {

namespace {

// What a reading says of the source it read: "game.mzr, line 5: ..." or "the link, ...";
// a link's own complaint names it already.
bool failed(const std::string& name, const std::string& what, std::string* error) {
  *error = what.rfind("the link", 0) == 0      ? what
           : what.rfind("larger than", 0) == 0 ? name + " is " + what
                                               : name + ", " + what;
  return false;
}

bool openLink(std::string_view payload, Replay& replay, std::string* error) {
  std::vector<std::uint8_t> bytes;
  if (payload.size() > kLongestAddress || !fromBase64Url(payload, bytes)) {
    *error = payload.size() > kLongestAddress ? "the link is longer than any address (2 MB)"
                                              : "the link holds no replay: it is not base64url";
    return false;
  }
  LinkReader reader(std::move(bytes));
  reader.run();
  replay = reader.take();
  return replay.error.empty() || failed("the link", replay.error, error);
}

// Whether the first bytes of a file are a link's rather than a recording's.
bool startsLikeLink(std::string_view start) {
  const std::size_t b = std::min(start.find_first_not_of(" \t\r\n"), start.size());
  start.remove_prefix(b);
  for (std::string_view head : {"#replay=", "replay=", "http://", "https://"})
    if (start.substr(0, head.size()) == head) return true;
  return false;
}

}  // namespace

bool readReplayFrom(std::FILE* in, const std::string& name, std::string_view start, Replay& replay,
                    std::string* error) {
  // The first piece tells a link from a recording; a recording is read on a piece at a time,
  // a link whole, as long as an address may be.
  std::string first(start);
  char chunk[65536];
  std::size_t n = std::fread(chunk, 1, sizeof chunk, in);
  first.append(chunk, n);
  const bool link = startsLikeLink(first);
  ReplayReader reader;
  bool fed = link || reader.feed(first);
  while (fed && n > 0 && (n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
    if (!link) {
      fed = reader.feed(std::string_view(chunk, n));
    } else if (first.append(chunk, n).size() > kLongestAddress + 4096) {
      *error = name + " holds a link longer than any address (2 MB)";
      return false;
    }
  }
  if (std::ferror(in)) {
    *error = "cannot read " + name + ": " + std::strerror(errno);
    return false;
  }
  if (link && linkPayload(first).empty()) {
    *error = name + " holds an address with no replay in it";
    return false;
  }
  if (link) return openLink(linkPayload(first), replay, error);
  replay = reader.finish();
  return replay.error.empty() || failed(name, replay.error, error);
}

bool openReplay(const std::string& source, Replay& replay, std::string* error) {
  if (const std::string_view payload = linkPayload(source); !payload.empty())
    return openLink(payload, replay, error);
  std::FILE* f = std::fopen(source.c_str(), "rb");
  if (!f) {
    *error = "cannot read " + source + ": " + std::strerror(errno);
    return false;
  }
  // A file that says it is too large is not read at all.
  struct stat info {};
  if (fstat(fileno(f), &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::uintmax_t>(info.st_size) > kLargestRecording) {
    std::fclose(f);
    return failed(source, largerThanAnyRecording(), error);
  }
  const bool read = readReplayFrom(f, source, {}, replay, error);
  std::fclose(f);
  return read;
}

}  // namespace mazeblast
