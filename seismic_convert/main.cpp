#include "seismic_convert/seis2col.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, seis2col::kProgram); }
