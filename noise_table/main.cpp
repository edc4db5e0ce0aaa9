#include "noise_table/tessel.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, tessel::kProgram); }
