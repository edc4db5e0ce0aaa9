#include "component_split/wendle.h"
#include "textio/program.h"

int main() { return textio::RunMain(wendle::RunWendle); }
