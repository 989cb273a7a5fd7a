// Long randomised run over the line rule and the reader of mission files:
// random file bodies and random rows, loaded, saved and loaded again, until
// the time is up. Prints the number of cases; exits 1 at the first fault.
//
//   storage_fuzz [seconds=60] [seed]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "mis_fuzz.h"

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
  const unsigned long long seed =
      argc > 2 ? std::strtoull(argv[2], nullptr, 10)
               : static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::mt19937_64 random(seed);
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  unsigned long long cases = 0;
  while (std::chrono::steady_clock::now() < end) {
    for (int i = 0; i < 1000; ++i, ++cases) {
      const std::string fault = mis_fuzz::runCase(random);
      if (!fault.empty()) {
        std::printf("FAULT after %llu cases (seed %llu): %s\n", cases, seed, fault.c_str());
        return 1;
      }
    }
  }
  std::printf("%llu cases in %.0f s, no fault (seed %llu)\n", cases, seconds, seed);
  return 0;
}
