#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "array_spectra/circspec.h"

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);  // a closed pipe becomes a write error, reported
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return circspec::RunCircspec(args, std::cout, std::cerr);
}
