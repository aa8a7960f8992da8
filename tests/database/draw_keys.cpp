// Draws keys from the counter table of a database and prints them, one a line:
//   parvela-test-draw-keys <connection string> <table> <count> [<start file>]
// With a start file it waits (at most 30 s) until that file exists, so that several
// processes begin drawing at the same moment.

#include "framework/TDACDatabase.h"
#include "platform/Exceptions.h"

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

namespace {

bool WaitForFile(const std::string& path) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(30);
    while (!std::filesystem::exists(path)) {
        if (steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(milliseconds(2));
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: " << argv[0]
                  << " <connection string> <table> <count> [<start file>]\n";
        return 2;
    }
    try {
        parvela::TDACDatabase database;
        database.SetODBCConnection(argv[1], "", "");
        database.SetConnected(true);
        if (argc == 5 && !WaitForFile(argv[4])) {
            std::cerr << "start file never appeared\n";
            return 1;
        }
        const int count = std::stoi(argv[3]);
        for (int i = 0; i < count; ++i)
            std::cout << database.GetNewID(argv[2]) << "\n";
        std::cout.flush();
        database.SetConnected(false);
    } catch (const std::exception& failure) {
        std::cerr << "draw failed: " << failure.what() << "\n";
        return 1;
    }
    return 0;
}
