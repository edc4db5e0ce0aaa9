#include "component_split/wendle.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, wendle::kProgram); }
