#include "desktop/recording.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "replay/recording.h"

namespace mazeblast {

RecordingFile::~RecordingFile() {
  close();
}

bool RecordingFile::open(const std::string& path, bool force, std::string* error) {
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (force ? O_TRUNC : O_EXCL), 0644);
  if (fd < 0) {
    *error = "cannot record to " + path + ": " +
             (errno == EEXIST ? "the file exists (--force replaces it)" : std::strerror(errno));
    return false;
  }
  file_ = fdopen(fd, "w");
  if (!file_) {
    ::close(fd);
    *error = "cannot record to " + path + ": " + std::strerror(errno);
    return false;
  }
  path_ = path;
  return true;
}

void RecordingFile::fail(const char* what) {
  const char* why = std::strerror(errno);
  // Its first lines not written: there is no recording, and no game either.
  const bool started = flushedUs_ >= 0;
  failure_ = started ? "the recording to " + path_ + " stopped (" + what + "): " + why
                     : "cannot record to " + path_ + ": " + why;
  std::fprintf(stderr, "mazeblast: %s%s\n", failure_.c_str(),
               started ? "; the game plays on unrecorded" : "");
  std::fclose(file_);
  file_ = nullptr;
}

void RecordingFile::take(ReplayWriter& writer, std::int64_t realUs, bool idle) {
  const std::string_view text = writer.pending();
  const bool screenChanged = writer.screenChanged();
  writer.taken();
  if (!file_) return;
  if (!text.empty()) {
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) return fail("writing");
    unflushed_ = true;
  }
  if (!unflushed_ || !(screenChanged || idle || realUs - flushedUs_ >= kCheckEveryUs)) return;
  if (std::fflush(file_) != 0) return fail("writing");
  // What is written at a screen change stays even if the power goes.
  if (screenChanged) fdatasync(fileno(file_));
  unflushed_ = false;
  flushedUs_ = realUs;
}

bool RecordingFile::close() {
  if (!file_) return failure_.empty();
  // A file that cannot be synced (a device, a pipe) has been written all the same.
  const bool flushed = std::fflush(file_) == 0 &&
                       (fdatasync(fileno(file_)) == 0 || errno == EINVAL || errno == EROFS);
  // Nothing was written: a game that never started has nothing to say about it.
  if (!flushed && flushedUs_ >= 0) fail("closing");
  if (file_) std::fclose(file_);
  file_ = nullptr;
  return flushed;
}

}  // namespace mazeblast
