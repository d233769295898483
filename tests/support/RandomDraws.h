// Draws from a seeded generator, shared by the table and damage generators
// so that a seed means the same tables everywhere.
#pragma once

#include <cstddef>
#include <random>

namespace drelin::testing {

using Random = std::mt19937_64;

// A whole number in [low, high].
inline size_t Uniform(Random& random, size_t low, size_t high) {
  return std::uniform_int_distribution<size_t>(low, high)(random);
}
// True with probability p.
inline bool Chance(Random& random, double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; }

}  // namespace drelin::testing
