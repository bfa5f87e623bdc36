// Prints where a program in this executable's folder finds a file shipped
// with the programs (empty when none is found). The install test puts it
// beside the installed programs.
#include <iostream>

#include "platform/paths.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::cout << platform::FindAsset(argv[1]) << '\n';
    return 0;
}
