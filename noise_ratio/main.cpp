#include "noise_ratio/quillon.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, quillon::kProgram); }
