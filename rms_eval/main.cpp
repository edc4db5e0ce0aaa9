#include "rms_eval/gauger.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, gauger::kProgram); }
