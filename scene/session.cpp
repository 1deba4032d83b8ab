#include "scene/session.h"

namespace mazeblast {

Session::Session(const Setup& setup)
    : time_(setup.startUs), recorder_(setup.recorder), seed_(setup.seed) {
  if (setup.floorMs > 0) game_->clock.setFloor(setup.floorMs);
  game_->rnd.reseed(setup.seed);
  game_->Form_Load();
  if (recorder_) {
    controls_.record(recorder_);
    recorder_->begin(*game_, setup.seed, setup.floorMs);
  }
  watcher_.look(*game_);
}

}  // namespace mazeblast
