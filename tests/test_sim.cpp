// mazeblast-sim's commands, their value formats and their errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/sim.h"

namespace mazeblast {
namespace {

struct SimRun {
  std::string out, err;
  int status;
};

SimRun sim(const std::string& script, std::uint64_t seed = 1) {
  std::istringstream in(script);
  std::ostringstream out, err;
  const int status = runScript(in, out, err, seed);
  return {out.str(), err.str(), status};
}

TEST(Sim, GetPrintsTargetAndValueInTheFixedFormats) {
  const SimRun r =
      sim("# the title screen\n"
          "\n"
          "get Lblpoints(1).Caption\n"
          "get Imgvih(2).Picture\n"
          "get Imgvih(2).Visible\n"
          "get Tmr1.Enabled\n"
          "get Tmr3.Interval\n"
          "get Imgmuuri(4).Picture\n"
          "get score\n"
          "get Pic1.Enabled\n");
  EXPECT_EQ(r.out,
            "Lblpoints(1).Caption \"150 Points\"\n"
            "Imgvih(2).Picture Imgmallivih1\n"
            "Imgvih(2).Visible 1\n"
            "Tmr1.Enabled 1\n"
            "Tmr3.Interval 1000\n"
            "Imgmuuri(4).Picture Imgmuuri(1012)\n"
            "score 0\n"
            "Pic1.Enabled 1\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

TEST(Sim, SetChangesStateAndElements) {
  const SimRun r =
      sim("set score 300\n"
          "get score\n"
          "set bombfuse(3) -1\n"
          "get bombfuse(3)\n"
          "set Imgvih(0).Picture Imgmallib2\n"
          "get Imgvih(0).Picture\n"
          "set Imgvih(0).Picture Imgmuuri(1013)\n"
          "get Imgvih(0).Picture\n"
          "set Lblcount.Caption \"GO!\"\n"
          "get Lblcount.Caption\n"
          "set Imgpelaaja.Left 6120\n"
          "get Imgpelaaja.Left\n"
          "set Imgmuuri(4).Visible 1\n"
          "get Imgmuuri(4).Visible\n");
  EXPECT_EQ(r.out,
            "score 300\nbombfuse(3) -1\nImgvih(0).Picture Imgmallib2\n"
            "Imgvih(0).Picture Imgmuuri(1013)\nLblcount.Caption \"GO!\"\n"
            "Imgpelaaja.Left 6120\nImgmuuri(4).Visible 1\n");
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST(Sim, WaitRunsTimersOnTheVirtualClock) {
  // Tmr2 at 10 ms from t = 0; Tmr3's countdown from the click.
  const SimRun r =
      sim("set Tmr2.Interval 1000\n"
          "set Tmr2.Enabled 1\n"
          "click Cmdstart\n"
          "wait 999\n"
          "get Lblcount.Caption\n"
          "wait 1\n"
          "get Lblcount.Caption\n"
          "wait 2000\n"
          "get Lblcount.Caption\n");
  EXPECT_EQ(r.out, "Lblcount.Caption \"3\"\nLblcount.Caption \"2\"\nLblcount.Caption \"GO!\"\n");
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST(Sim, RandomValuesComeFirstThenTheSeededSequence) {
  const std::string script =
      "random 0.5 0.25\n"
      "set level 1\n"
      "call asetaviholliset\n"
      "get enemyx(0)\n"
      "get enemyy(0)\n";
  const SimRun r = sim(script);
  // Column 12 of row 3: far enough from the start, not a pillar.
  EXPECT_EQ(r.out, "enemyx(0) 6120\nenemyy(0) 2760\n");
  // The same seed gives the same field; another seed another one.
  EXPECT_EQ(sim("click Cmdstart\nwait 4000\ndump\n", 5).out,
            sim("click Cmdstart\nwait 4000\ndump\n", 5).out);
  EXPECT_NE(sim("click Cmdstart\nwait 4000\ndump\n", 5).out,
            sim("click Cmdstart\nwait 4000\ndump\n", 6).out);
  EXPECT_EQ(sim("seed 5\nclick Cmdstart\nwait 4000\ndump\n", 9).out,
            sim("click Cmdstart\nwait 4000\ndump\n", 5).out);
}

TEST(Sim, KeysAreLostWhileTheStartButtonHoldsTheFocus) {
  const SimRun r =
      sim("press 80\n"
          "get paused\n"
          "click Cmdstart\n"
          "wait 3000\n"
          "press 39\n"
          "get direction\n"
          "wait 1000\n"
          "press 39\n"
          "get direction\n"
          "release 39\n"
          "get direction\n");
  EXPECT_EQ(r.out, "paused 0\ndirection 0\ndirection 1\ndirection 0\n");
}

TEST(Sim, DumpIsOneJsonObjectOfStateShownElementsAndTimers) {
  const SimRun r = sim("dump\n");
  ASSERT_EQ(r.status, 0);
  const std::string& d = r.out;
  EXPECT_EQ(d.front(), '{');
  EXPECT_EQ(d.substr(d.size() - 3), "}}\n");
  EXPECT_EQ(std::count(d.begin(), d.end(), '\n'), 1);
  EXPECT_NE(d.find("\"score\":0"), std::string::npos);
  EXPECT_NE(d.find("\"bombfuse\":[0,0,0,0,0,0,0,0,0,0]"), std::string::npos);
  EXPECT_NE(d.find("\"Imgvih(0)\":{\"Left\":3240,\"Top\":1800,\"Width\":495,\"Height\":495,"
                   "\"Picture\":\"Imgmallivih3\"}"),
            std::string::npos);
  EXPECT_NE(d.find("\"Cmdstart\":{"), std::string::npos);
  EXPECT_EQ(d.find("\"Cmdnew\""), std::string::npos);  // hidden elements are left out
  EXPECT_NE(d.find("\"Tmr9\":{\"Enabled\":0,\"Interval\":10}"), std::string::npos);
}

TEST(Sim, ErrorsNameTheLineAndTheRunGoesOn) {
  const SimRun r =
      sim("frobnicate\n"               // 1
          "get nothing\n"              // 2
          "get bombfuse(10)\n"         // 3
          "get bombfuse\n"             // 4
          "click Cmdnew\n"             // 5 hidden
          "set Lblkeski(0).Left 0\n"   // 6 fixed
          "set score many\n"           // 7
          "random 1.0\n"               // 8
          "get Tmr1.Caption\n"         // 9
          "wait -5\n"                  // 10
          "call nothing\n"             // 11
          "set direction 9\n"          // 12
          "set Lblcount.Caption GO\n"  // 13
          "get score\n");              // 14 still runs
  EXPECT_EQ(r.out, "score 0\n");
  EXPECT_EQ(r.status, 1);
  std::istringstream lines(r.err);
  std::string line;
  int n = 0;
  while (std::getline(lines, line)) {
    ++n;
    EXPECT_EQ(line.rfind("line " + std::to_string(n) + ": ", 0), 0u) << line;
  }
  EXPECT_EQ(n, 13);
}

TEST(Sim, ScreenshotWritesAPng) {
  const std::string path = ::testing::TempDir() + "mazeblast_title.png";
  const SimRun r = sim("screenshot " + path + "\n");
  ASSERT_EQ(r.status, 0) << r.err;
  std::ifstream png(path, std::ios::binary);
  char magic[8] = {};
  png.read(magic, 8);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
  std::remove(path.c_str());
  EXPECT_EQ(sim("screenshot /nonexistent/dir/x.png\n").status, 1);
}

}  // namespace
}  // namespace mazeblast
