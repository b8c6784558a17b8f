#pragma once
// What every fuzz target shares: a broken promise ends the run, so the fuzzer keeps the input.

#include <cstdlib>

namespace velmora::fuzz {

inline void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace velmora::fuzz
