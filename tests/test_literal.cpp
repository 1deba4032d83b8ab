// The indexed position tests play exactly the games the literal scans of the rules play:
// the same random play on both copies of the rules, every value and element compared after
// every handler.
#include <gtest/gtest.h>

#include "tests/oracle/literal.h"
#include "tests/soak.h"

namespace mazeblast {
namespace {

TEST(LiteralScans, PlayTheSameGamesValueByValue) {
  for (std::uint64_t seed : {3, 4}) {
    const SoakReport indexed = soak(seed, 0.5, true);
    const LiteralPlay literal = literalSoak(seed, 0.5);
    ASSERT_EQ(indexed.failure, "");
    ASSERT_EQ(literal.failure, "");
    EXPECT_EQ(indexed.handlers, literal.handlers) << "seed " << seed;
    EXPECT_EQ(indexed.digest, literal.digest) << "seed " << seed;
    EXPECT_GT(indexed.handlers, 10000);
  }
}

}  // namespace
}  // namespace mazeblast
