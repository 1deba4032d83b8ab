// The game's pictures, compiled in: the game reads no file at run time.
#include "screen/elements.h"

namespace mazeblast {
namespace {
#include "screen/pictures/b1.xpm"
#include "screen/pictures/b2.xpm"
#include "screen/pictures/b3.xpm"
#include "screen/pictures/b4.xpm"
#include "screen/pictures/brick.xpm"
#include "screen/pictures/cracked_brick.xpm"
#include "screen/pictures/icon.xpm"
#include "screen/pictures/kvih1.xpm"
#include "screen/pictures/kvih2.xpm"
#include "screen/pictures/kvih3.xpm"
#include "screen/pictures/lpo.xpm"
#include "screen/pictures/lpv.xpm"
#include "screen/pictures/lva.xpm"
#include "screen/pictures/lvy.xpm"
#include "screen/pictures/pel1.xpm"
#include "screen/pictures/pel10.xpm"
#include "screen/pictures/pel11.xpm"
#include "screen/pictures/pel2.xpm"
#include "screen/pictures/pel3.xpm"
#include "screen/pictures/pel4.xpm"
#include "screen/pictures/pel5.xpm"
#include "screen/pictures/pel6.xpm"
#include "screen/pictures/pel7.xpm"
#include "screen/pictures/pel8.xpm"
#include "screen/pictures/pel9.xpm"
#include "screen/pictures/vih1.xpm"
#include "screen/pictures/vih2.xpm"
#include "screen/pictures/vih3.xpm"
}  // namespace

namespace art {
const PictureArt vih1{"Imgmallivih1", vih1_xpm}, vih2{"Imgmallivih2", vih2_xpm},
    vih3{"Imgmallivih3", vih3_xpm};
const PictureArt kvih1{"Imgmallikvih1", kvih1_xpm}, kvih2{"Imgmallikvih2", kvih2_xpm},
    kvih3{"Imgmallikvih3", kvih3_xpm};
const PictureArt pel[11] = {
    {"Imgmallipel1", pel1_xpm},   {"Imgmallipel2", pel2_xpm},   {"Imgmallipel3", pel3_xpm},
    {"Imgmallipel4", pel4_xpm},   {"Imgmallipel5", pel5_xpm},   {"Imgmallipel6", pel6_xpm},
    {"Imgmallipel7", pel7_xpm},   {"Imgmallipel8", pel8_xpm},   {"Imgmallipel9", pel9_xpm},
    {"Imgmallipel10", pel10_xpm}, {"Imgmallipel11", pel11_xpm},
};
const PictureArt b1{"Imgmallib1", b1_xpm}, b2{"Imgmallib2", b2_xpm}, b3{"Imgmallib3", b3_xpm},
    b4{"Imgmallib4", b4_xpm};
const PictureArt lva{"Imgmallilva", lva_xpm}, lvy{"Imgmallilvy", lvy_xpm},
    lpo{"Imgmallilpo", lpo_xpm}, lpv{"Imgmallilpv", lpv_xpm};
const PictureArt brick{"Imgmuuri(1012)", brick_xpm},
    crackedBrick{"Imgmuuri(1013)", cracked_brick_xpm};
const PictureArt icon{"icon", icon_xpm};

const PictureArt* const all[] = {
    &vih1,   &vih2,   &vih3,   &kvih1,  &kvih2,  &kvih3,  &pel[0],       &pel[1], &pel[2], &pel[3],
    &pel[4], &pel[5], &pel[6], &pel[7], &pel[8], &pel[9], &pel[10],      &b1,     &b2,     &b3,
    &b4,     &lva,    &lvy,    &lpo,    &lpv,    &brick,  &crackedBrick, &icon};
const int count = sizeof(all) / sizeof(all[0]);
}  // namespace art

}  // namespace mazeblast
