// tarsel-mkdata FOLDER [--force]: makes a data folder with the ten empty
// tables, their index tags and the organisation row.
#include <cstdio>
#include <exception>
#include <string>

#include "store/data_folder.h"

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: tarsel-mkdata FOLDER [--force]\n"
                 "  Makes FOLDER (private to you) with the empty tables of the system.\n"
                 "  --force  make the tables anew in a folder that already holds them\n"
                 "           (their rows are lost)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder;
    bool force = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--force")
            force = true;
        else if (arg == "--help" || arg == "-h")
            return usage();
        else if (!arg.empty() && arg[0] == '-')
            return usage();
        else if (folder.empty())
            folder = arg;
        else
            return usage();
    }
    if (folder.empty())
        return usage();
    if (folder.back() != '/')
        folder += '/';
    try {
        store::CreateDataFolder(folder, force);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarsel-mkdata: %s\n", e.what());
        return 1;
    }
    std::printf("Data folder ready: %s\n", folder.c_str());
    return 0;
}
