#include "centre_series/corral.h"
#include "textio/program.h"

int main() { return textio::RunMain(corral::RunCorral); }
