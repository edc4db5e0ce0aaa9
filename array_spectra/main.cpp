#include "array_spectra/circspec.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, circspec::kProgram); }
