// What the copy of the rules with the literal scans offers the tests, in plain types that
// both copies share.
#pragma once

#include <cstdint>
#include <string>

struct LiteralPlay {
  std::uint64_t digest;  // of every value and element after every handler
  long handlers;
  std::string failure;
};

LiteralPlay literalSoak(std::uint64_t seed, double hours);
