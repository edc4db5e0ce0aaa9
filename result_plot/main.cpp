#include "result_plot/circplot.h"
#include "suite/runtime.h"

int main(int argc, char** argv) { return suite::Main(argc, argv, circplot::kProgram); }
