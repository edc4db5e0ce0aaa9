#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "array_synthesis/circsim.h"

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return circsim::RunCircsim(args, std::cout, std::cerr);
}
