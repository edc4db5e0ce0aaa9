#include "spectral_noise/hollin.h"
#include "textio/program.h"

int main() { return textio::RunMain(hollin::RunHollin); }
