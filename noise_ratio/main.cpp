#include "noise_ratio/quillon.h"
#include "textio/program.h"

int main() { return textio::RunMain([](std::istream& in, std::ostream& out, std::ostream& err) {
  return quillon::RunQuillon(in, out, err);
}); }
