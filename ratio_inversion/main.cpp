#include "ratio_inversion/vantor.h"
#include "textio/program.h"

int main() { return textio::RunMain(vantor::RunVantor); }
