// Where every element of the window starts: its place, size, look, caption, visibility and
// picture. Twips throughout.
#pragma once

#include "screen/elements.h"

namespace mazeblast::layout {

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kYellow{255, 255, 0}, kOrange{255, 128, 0},
    kRed{255, 0, 0}, kGreen{0, 255, 0}, kCyan{0, 255, 255}, kDarkRed{192, 0, 0};

// Sizes are pixels: points at 96 dpi.
constexpr FontSpec kStatusFont{"Arial", 16, 700, false};        // 12 pt bold
constexpr FontSpec kTitleFont{"Arial Black", 48, 900, true};    // 36 pt heavy italic
constexpr FontSpec kPointsFont{"Arial Black", 15, 900, false};  // 11.25 pt heavy
constexpr FontSpec kHelpFont{"Arial Black", 19, 900, false};    // 14.25 pt heavy
constexpr FontSpec kCreditFont{"Arial Black", 19, 900, true};   // 14.25 pt heavy italic
constexpr FontSpec kCountFont{"Arial Black", 32, 900, false};   // 24 pt heavy
constexpr FontSpec kButtonFont{"Arial", 13, 700, false};

//                                     font          fore     back    opaque  align
inline constexpr LabelLook kStatusRight{kStatusFont, kWhite, kBlack, true, Align::Right};
inline constexpr LabelLook kStatusLeft{kStatusFont, kWhite, kBlack, true, Align::Left};
inline constexpr LabelLook kTitle{kTitleFont, kYellow, kBlack, true, Align::Center};
inline constexpr LabelLook kPoints{kPointsFont, kYellow, kBlack, true, Align::Left};
inline constexpr LabelLook kHelp{kHelpFont, kOrange, kBlack, false, Align::Left};
inline constexpr LabelLook kWritten{kCreditFont, kRed, kBlack, true, Align::Left};
inline constexpr LabelLook kCopy{kCreditFont, kGreen, kBlack, true, Align::Left};
inline constexpr LabelLook kCount{kCountFont, kYellow, kBlack, false, Align::Center};
inline constexpr LabelLook kBlock{kStatusFont, kBlack, kDarkRed, true, Align::Left};

constexpr int kClientWidth = 12735, kClientHeight = 8475;  // 849 x 565 pixels

//                         Left    Top  Width Height Visible Caption       look
constexpr Label Lblhigh1{0, 0, 1215, 255, false, "Hi-score :", &kStatusRight};
constexpr Label Lblhigh2{1320, 0, 1215, 255, false, " 0", &kStatusLeft};
constexpr Label Lblscore1{360, 360, 855, 255, false, "Score :", &kStatusRight};
constexpr Label Lblscore2{1320, 360, 1335, 255, false, " 0", &kStatusLeft};
constexpr Label Lbllives1{360, 720, 855, 255, false, "Lives :", &kStatusRight};
constexpr Label Lbllives2{1320, 720, 735, 255, false, " 3", &kStatusLeft};
constexpr Label Lblbonus1{10680, 360, 975, 255, false, "Bonus :", &kStatusRight};
constexpr Label Lblbonus2{11760, 360, 735, 255, false, " 3000", &kStatusLeft};
constexpr Label Lbllevel1{10800, 720, 855, 255, false, "Level :", &kStatusRight};
constexpr Label Lbllevel2{11760, 720, 735, 255, false, " 1", &kStatusLeft};

constexpr Label Lblotsikko{2520, -120, 7455, 855, true, "RMO MAZEBLAST", &kTitle};
constexpr Label Lblpoints[3]{
    {2760, 2400, 1455, 375, true, "100 Points", &kPoints},
    {5640, 2400, 1455, 375, true, "150 Points", &kPoints},
    {8520, 2400, 1455, 375, true, "200 Points", &kPoints},
};
constexpr Label Lblohje1{480, 7080, 1695, 375, true, "P = Pause", &kHelp};
constexpr Label Lblohje2{10920, 7080, 1335, 375, true, "Q = Quit", &kHelp};
constexpr Label Lblwritten{8880, 7920, 3855, 495, true, "Written anew by RMO", &kWritten};
constexpr Label Lblcopy{120, 7920, 2175, 495, true, "(c) 2026 RMO", &kCopy};
constexpr Label Lblcount{5280, 4080, 2175, 615, false, "3", &kCount};
constexpr Label Lblpause{5280, 7800, 2175, 615, false, "Paused!", &kCount};

//                          Left   Top  Width Height Visible Caption             face
constexpr Button Cmdstart{5280, 4200, 2175, 495, true, "&Start the game", kGreen};
constexpr Button Cmdcont{5280, 5160, 2175, 495, false, "&Play next life", kOrange};
constexpr Button Cmdcont2{5280, 5160, 2175, 495, false, "&Play next level", kOrange};
constexpr Button Cmdnew{5280, 7920, 2175, 375, false, "&New game", kCyan};

constexpr FocusBox Pic1{8280, 7920, 375, 375, true, true};

// Sprites of the play, hidden at start.
constexpr Sprite Imgpelaaja{3720, 1320, 495, 495, false, &art::pel[0]};
constexpr Sprite Imgvih[10]{
    {4200, 1320, 495, 495, false, &art::vih1}, {4200, 1320, 495, 495, false, &art::vih1},
    {4200, 1320, 495, 495, false, &art::vih1}, {4200, 1320, 495, 495, false, &art::vih1},
    {4200, 1320, 495, 495, false, &art::vih1}, {4200, 1320, 495, 495, false, &art::vih1},
    {4200, 1320, 495, 495, false, &art::vih1}, {9000, 1800, 495, 495, false, &art::vih1},
    {6120, 1800, 495, 495, false, &art::vih1}, {3240, 1800, 495, 495, false, &art::vih1},
};
constexpr Sprite Imgpommi{3240, 1320, 495, 495, false, &art::b1};
constexpr Sprite Imgliekki{5760, 1320, 240, 240, false, &art::lvy};

// Picture sources, never shown.
constexpr Sprite Imgmallivih1{5160, 1320, 495, 495, false, &art::vih1};
constexpr Sprite Imgmallivih2{5160, 1320, 495, 495, false, &art::vih2};
constexpr Sprite Imgmallivih3{5160, 1320, 495, 495, false, &art::vih3};
constexpr Sprite Imgmallikvih1{5160, 1320, 495, 495, false, &art::kvih1};
constexpr Sprite Imgmallikvih2{5160, 1320, 495, 495, false, &art::kvih2};
constexpr Sprite Imgmallikvih3{5160, 1320, 495, 495, false, &art::kvih3};
constexpr Sprite Imgmallipel(int frame) {  // frame 1 to 11
  return {4680, 1320, 495, 495, false, &art::pel[frame - 1]};
}
constexpr Sprite Imgmallib1{360, 1320, 495, 495, false, &art::b1};
constexpr Sprite Imgmallib2{840, 1320, 495, 495, false, &art::b2};
constexpr Sprite Imgmallib3{1320, 1320, 495, 495, false, &art::b3};
constexpr Sprite Imgmallib4{1800, 1320, 495, 495, false, &art::b4};
constexpr Sprite Imgmallilvy{2400, 1320, 240, 240, false, &art::lvy};
constexpr Sprite Imgmallilva{2400, 1560, 240, 240, false, &art::lva};
constexpr Sprite Imgmallilpv{2760, 1320, 240, 240, false, &art::lpv};
constexpr Sprite Imgmallilpo{3000, 1320, 240, 240, false, &art::lpo};

// The field: cell (c, r) has its corner at (360 + 480 c, 1320 + 480 r).
constexpr int kFieldLeft = 360, kFieldTop = 1320, kCell = 480, kQuarter = 240;
constexpr int kColumns = 25, kRows = 13;

struct Place {
  int left, top;
};

// Lblkeski: 288 pillar quarters (four per pillar, pillars in row order), then the border
// ring one quarter thick: top, left, right, bottom.
constexpr Place keskiPlace(int i) {
  if (i < 288) {
    const int p = i / 4, q = i % 4;
    const int c = 2 * (p % 12) + 1, r = 2 * (p / 12) + 1;
    return {kFieldLeft + kCell * c + kQuarter * (q % 2),
            kFieldTop + kCell * r + kQuarter * (q / 2)};
  }
  if (i < 340) return {120 + 240 * (i - 288), 1080};
  if (i < 366) return {120, 1320 + 240 * (i - 340)};
  if (i < 392) return {12360, 1320 + 240 * (i - 366)};
  return {120 + 240 * (i - 392), 7560};
}

// Imgmuuri: four quarter tiles for every cell that is not a pillar, cells numbered in row
// order; even rows hold 25 cells, odd rows the 13 of the even columns. 1012 and 1013 are
// the brick and cracked-brick picture sources above the field.
constexpr Place muuriPlace(int i) {
  if (i == 1012) return {2640, 840};
  if (i == 1013) return {2880, 840};
  const int n = i / 4, q = i % 4;
  const int pair = n / 38, rest = n % 38;
  const int r = rest < 25 ? 2 * pair : 2 * pair + 1;
  const int c = rest < 25 ? rest : 2 * (rest - 25);
  return {kFieldLeft + kCell * c + kQuarter * (q % 2), kFieldTop + kCell * r + kQuarter * (q / 2)};
}

template <int N, class F>
constexpr Set<Place, N> placeTable(F place) {
  Set<Place, N> t{};
  for (int i = 0; i < N; ++i) t.items[i] = place(i);
  return t;
}
inline constexpr Set<Place, 444> kKeski = placeTable<444>(keskiPlace);
inline constexpr Set<Place, 1014> kMuuri = placeTable<1014>(muuriPlace);

static_assert(kKeski(3).left == 1080 && kKeski(3).top == 2040);  // pillar (1, 1), quarter 3
static_assert(kKeski(287).left == 11640 && kKeski(287).top == 6840);
static_assert(kMuuri(1008).left == 11880 && kMuuri(1008).top == 7080);  // cell (24, 12)
static_assert(kMuuri(100).left == 360 && kMuuri(100).top == 1800);      // cell (0, 1)

}  // namespace mazeblast::layout
