#include "log_resample/resampa.h"
#include "textio/program.h"

int main() { return textio::RunMain(resampa::RunResampa); }
