#include "noise_table/tessel.h"
#include "textio/program.h"

int main() { return textio::RunMain(tessel::RunTessel); }
