// A recording on disk: written as the game goes, flushed at least once a second and at every
// screen change, so a game killed outright keeps all its whole lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace mazeblast {

class ReplayWriter;

class RecordingFile {
 public:
  RecordingFile() = default;
  ~RecordingFile();
  RecordingFile(const RecordingFile&) = delete;
  RecordingFile& operator=(const RecordingFile&) = delete;

  // Makes the file: an existing one only with `force`. False with one line in `error`.
  bool open(const std::string& path, bool force, std::string* error);
  // Writes out what the writer has, flushing where a second has passed since the last flush,
  // a screen changed, or nothing will come for a while (`idle`). A write that fails ends the
  // recording with one line on standard error; the game plays on.
  void take(ReplayWriter& writer, std::int64_t realUs, bool idle);
  // The last lines, flushed and kept on the disk. False when anything was lost.
  bool close();
  // The first write or flush that failed, as one line; empty while all is well.
  const std::string& failure() const { return failure_; }

 private:
  void fail(const char* what);

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string failure_;
  bool unflushed_ = false;
  std::int64_t flushedUs_ = -1;  // none yet
};

}  // namespace mazeblast
