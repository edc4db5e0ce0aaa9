#include "ratio_inversion/vantor.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, vantor::kProgram); }
