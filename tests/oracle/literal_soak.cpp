// The soak's random play on the copy of the rules with the literal scans; compiled in that
// copy's namespace, and reached from the tests through these plain functions.
#include "tests/oracle/literal.h"

#include "tests/soak.h"

LiteralPlay literalSoak(std::uint64_t seed, double hours) {
  const mazeblast::SoakReport r = mazeblast::soak(seed, hours, true);
  return {r.digest, r.handlers, r.failure};
}
