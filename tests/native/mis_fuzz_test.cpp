// A short randomised run of the cases that storage_fuzz runs for minutes.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "mis_fuzz.h"

TEST(MisFuzzTest, RandomFilesAndRowsSurviveSaveAndLoad) {
  std::mt19937_64 random(20261209);
  for (int i = 0; i < 20000; ++i) {
    const std::string fault = mis_fuzz::runCase(random);
    ASSERT_TRUE(fault.empty()) << "case " << i << ": " << fault;
  }
}
