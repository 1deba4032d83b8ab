#include "scene/sound_events.h"

#include "scene/registry.h"

namespace mazeblast {

namespace {

// The buttons by their place in the button table.
constexpr int kPlayNextLife = 1, kPlayNextLevel = 2, kNewGame = 3;

bool countdownDigit(const Text& caption) {
  return caption == "3" || caption == "2" || caption == "1";
}

int crackedWalls(const Frmbomb& g) {
  const PictureRef cracked = g.Imgmuuri(1013).Picture;
  int n = 0;
  for (int j = 0; j <= 1011; ++j)
    n += g.Imgmuuri.items[j].Visible && g.Imgmuuri.items[j].Picture == cracked;
  return n;
}

}  // namespace

SoundWatcher::Seen SoundWatcher::see(const Frmbomb& g) {
  Seen s;
  s.countShown = g.Lblcount.Visible;
  s.count = g.Lblcount.Caption;
  for (int i = 0; i < 10; ++i) {
    s.bombShown[i] = g.Imgpommi(i).Visible;
    s.bombPicture[i] = g.Imgpommi(i).Picture;
    s.enemyPicture[i] = g.Imgvih(i).Picture;
    s.bombsAbout |= s.bombShown[i];
  }
  for (int b = 0; b < 4; ++b) s.buttonShown[b] = (g.*kButtons[b].button).Visible;
  s.pauseShown = g.Lblpause.Visible;
  // Walls crack only in a burst, and a bursting bomb is shown: the walls need counting only
  // while some bomb is.
  s.crackedWalls = s.bombsAbout ? crackedWalls(g) : 0;
  s.score = g.score;
  s.hiscore = g.hiscore;
  s.bonus = g.bonus;
  s.dying = g.dying;
  return s;
}

void SoundWatcher::look(const Frmbomb& game) {
  before_ = see(game);
}

SoundEvents SoundWatcher::changes(const Frmbomb& g) {
  const Seen& was = before_;
  const Seen now = see(g);
  SoundEvents e;

  for (int b = 0; b < 4; ++b)
    if (was.buttonShown[b] && !now.buttonShown[b]) e.add(SoundEvent::button);

  const bool newCaption = !was.countShown || !(was.count == now.count.view());
  if (now.countShown && newCaption && countdownDigit(now.count)) e.add(SoundEvent::count);
  if (now.countShown && newCaption && now.count == "GO!") e.add(SoundEvent::go);

  const PictureRef blast = g.Imgmallib4.Picture;
  for (int i = 0; i < 10; ++i) {
    if (now.bombShown[i] && !was.bombShown[i]) e.add(SoundEvent::drop);
    if (now.bombPicture[i] == blast && was.bombPicture[i] != blast) e.add(SoundEvent::burst);
  }
  // The bomb that cracks a wall was shown before its burst and still is after it.
  if (was.bombsAbout && now.bombsAbout && now.crackedWalls > was.crackedWalls)
    e.add(SoundEvent::crack);

  const PictureRef dyingPictures[3] = {g.Imgmallikvih1.Picture, g.Imgmallikvih2.Picture,
                                       g.Imgmallikvih3.Picture};
  for (int i = 0; i < 10; ++i) {
    if (now.enemyPicture[i] == was.enemyPicture[i]) continue;
    for (PictureRef p : dyingPictures)
      if (now.enemyPicture[i] == p) e.add(SoundEvent::kill);
  }

  if (now.dying == 1 && was.dying != 1) e.add(SoundEvent::caught);
  auto appeared = [&](int b) { return now.buttonShown[b] && !was.buttonShown[b]; };
  if (appeared(kPlayNextLife)) e.add(SoundEvent::lifelost);
  if (now.score > was.score && now.bonus < was.bonus) e.add(SoundEvent::bonus);
  if (appeared(kPlayNextLevel)) e.add(SoundEvent::cleared);
  if (appeared(kNewGame)) e.add(g.lives == 0 ? SoundEvent::gameover : SoundEvent::quit);
  if (now.hiscore > was.hiscore) e.add(SoundEvent::hiscore);
  if (now.pauseShown && !was.pauseShown) e.add(SoundEvent::pause);
  if (!now.pauseShown && was.pauseShown) e.add(SoundEvent::resume);

  before_ = now;
  return e;
}

}  // namespace mazeblast
