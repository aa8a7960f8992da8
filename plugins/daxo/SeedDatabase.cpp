// daxo-seed FILE: writes the stand-in's delivered substance database, the example substances,
// replacing FILE.

#include "plugins/daxo/SubstanceStore.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: daxo-seed FILE\n";
        return 2;
    }
    const std::filesystem::path file = argv[1];
    try {
        std::filesystem::create_directories(file.parent_path());
        std::filesystem::remove(file);
        daxo::SubstanceStore store(file.string());
    } catch (const std::exception& failure) {
        std::cerr << "daxo-seed: " << failure.what() << "\n";
        return 1;
    }
    return 0;
}
