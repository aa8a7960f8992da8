// parvela-registry: writes and reads values of a registry store, for the set-up.
//
//   parvela-registry [--store FILE | --machine | --user] set-string KEY NAME VALUE
//   parvela-registry [--store FILE | --machine | --user] set-integer KEY NAME VALUE
//   parvela-registry [--store FILE | --machine | --user] get KEY NAME
//   parvela-registry [--store FILE | --machine | --user] delete KEY NAME
//
// The machine-wide store is the default.

#include "platform/Registry.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::cerr << "usage: parvela-registry [--store FILE | --machine | --user] "
                 "(set-string KEY NAME VALUE | set-integer KEY NAME VALUE | get KEY NAME | "
                 "delete KEY NAME)\n";
    return 2;
}

int Run(parvela::TRegistry& registry, const std::vector<std::string>& words) {
    const std::string& command = words[0];
    if (command == "set-string" && words.size() == 4) {
        registry.WriteString(words[1], words[2], words[3]);
    } else if (command == "set-integer" && words.size() == 4) {
        registry.WriteInteger(words[1], words[2], std::stoi(words[3]));
    } else if (command == "get" && words.size() == 3) {
        std::cout << registry.ReadString(words[1], words[2]) << "\n";
    } else if (command == "delete" && words.size() == 3) {
        registry.DeleteValue(words[1], words[2]);
    } else {
        return Usage();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    parvela::TRegistryRoot root = parvela::HKEY_LOCAL_MACHINE;
    std::optional<std::string> store;
    while (!words.empty() && words[0].rfind("--", 0) == 0) {
        if (words[0] == "--store" && words.size() > 1) {
            store = words[1];
            words.erase(words.begin(), words.begin() + 2);
        } else if (words[0] == "--machine" || words[0] == "--user") {
            root = words[0] == "--user" ? parvela::HKEY_CURRENT_USER : parvela::HKEY_LOCAL_MACHINE;
            words.erase(words.begin());
        } else {
            return Usage();
        }
    }
    if (words.empty())
        return Usage();
    try {
        parvela::TRegistry registry =
            store ? parvela::TRegistry(root, *store) : parvela::TRegistry(root);
        return Run(registry, words);
    } catch (const std::exception& failure) {
        std::cerr << "parvela-registry: " << failure.what() << "\n";
        return 1;
    }
}
