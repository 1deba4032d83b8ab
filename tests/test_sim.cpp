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

// Lines a tool or a fuzzer may send: each is an error that names its line and changes
// nothing, never a crash, a hang or a wrong answer.
TEST(Sim, BadValuesAreErrorsThatChangeNothing) {
  const std::string play = "click Cmdstart\nwait 4100\ndump\n";
  for (const char* bad : {
           "set level -32768",             // the enemy count would wrap
           "set lives -1",                 // lives would count down for ever
           "get Imgvih(4294967299).Left",  // an index past int
           "get score(-5)",                // an index where none belongs
           "get Imgvih(-1).Left",          // below the set
           "set bombfuse(-1) 3",           // below the set
           "wait 9223372036854775807",     // past the clock's range
           "wait 9223372036854775",        // a wait that would never end
           "set playerx 365",              // off the lattice: nothing would stop a walk
           "set enemyy(0) 9000",           // outside the field
           "set enemykindclock(0) 10",     // past the clock's turn
           "set rayreach(0) 5",            // beyond a ray
           "set Imgmuuri(5).Left 1",       // the field does not move
       }) {
    const SimRun r = sim(play + bad + "\ndump\n");
    EXPECT_EQ(r.status, 1) << bad;
    EXPECT_EQ(r.err.rfind("line 4: ", 0), 0u) << bad << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << bad;
    const std::size_t split = r.out.find('\n');
    EXPECT_EQ(r.out.substr(0, split + 1), r.out.substr(split + 1)) << bad;
  }
  // What the game can live with is done exactly: the level stops at 32767.
  const SimRun top =
      sim("set level 32767\nset Cmdcont2.Visible 1\nclick Cmdcont2\nget level\nget "
          "Lbllevel2.Caption\nset level 0\ncall asetaviholliset\nget enemylast\n");
  EXPECT_EQ(top.out, "level 32767\nLbllevel2.Caption \" 32767\"\nenemylast -1\n");
  EXPECT_EQ(top.status, 0) << top.err;
}

TEST(Sim, CaptionsAreWrittenAsValidJsonStrings) {
  const SimRun r =
      sim("set Lblcount.Caption \"a\tb\x01\xff\\\"q\"\nset Lblcount.Visible 1\nget "
          "Lblcount.Caption\ndump\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Lblcount.Caption \"a\\u0009b\\u0001\\u00ff\\\"q\"");
  EXPECT_NE(r.out.find("\"Caption\":\"a\\u0009b\\u0001\\u00ff\\\"q\""), std::string::npos);
  for (char c : r.out) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << int(c);
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
