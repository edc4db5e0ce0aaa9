#include "rms_eval/gauger.h"
#include "textio/program.h"

int main() { return textio::RunMain(gauger::RunGauger); }
