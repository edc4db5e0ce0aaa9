#include "log_resample/resampa.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, resampa::kProgram); }
