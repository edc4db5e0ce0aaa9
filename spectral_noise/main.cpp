#include "spectral_noise/hollin.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, hollin::kProgram); }
