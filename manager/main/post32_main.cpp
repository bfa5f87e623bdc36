// post32, the configuration manager.
#include "manager/main/program_block.h"

int main(int argc, char** argv) { return manager::RunPost32(argc, argv); }
