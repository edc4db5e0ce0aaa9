#include "array_synthesis/circsim.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, circsim::kProgram); }
