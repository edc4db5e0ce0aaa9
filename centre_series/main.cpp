#include "centre_series/corral.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, corral::kProgram); }
