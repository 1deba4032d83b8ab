// The tick on the copy of the rules with the literal scans (namespace mazeblast_literal).
#include "bench/tick_case.h"

BENCHMARK(mazeblast::mainTickLevel10)->Name("MainTickLevel10/literal");
BENCHMARK(mazeblast::positionTests)->Name("PositionTests/literal");
