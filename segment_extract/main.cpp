#include "segment_extract/snippa.h"
#include "textio/program.h"

int main() { return textio::RunMain(snippa::RunSnippa); }
