// Runs the registered benchmarks and then prints, for each one, its speed
// relative to a baseline benchmark of the same run (items per second).
#pragma once

#include <string>
#include <vector>

namespace skylane_bench {

struct Comparison {
  std::string subject;                 // benchmark name
  std::vector<std::string> baselines;  // compared with the fastest of these
  double goal;                         // the speed ratio aimed at; 0 = none
};

// Returns the process exit code.
int runAndCompare(int argc, char** argv, const std::vector<Comparison>& comparisons);

}  // namespace skylane_bench
