#include "segment_extract/snippa.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, snippa::kProgram); }
