#pragma once

#include <algorithm>
#include <cstdlib>

namespace quorrel::testing {

/// How many random jobs a property run checks: `ordinary`, or as many times that as
/// QUORREL_PROPERTY_JOBS says, for a longer run than CTest's.
inline int JobCount(int ordinary) {
  const char* scale = std::getenv("QUORREL_PROPERTY_JOBS");
  return scale == nullptr ? ordinary : ordinary * std::max(1, std::atoi(scale));
}

}  // namespace quorrel::testing
