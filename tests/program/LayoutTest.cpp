// The layout a newcomer relies on: the source folders depend on each other in one direction
// only, every include names its folder from the repository root, and no source file of the
// product grows past a size one can read.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The folder graph, lowest first: a folder may include only folders of a lower rank (and
// itself). Folders of one rank are siblings that know nothing of each other.
const std::map<std::string, int>& FolderRanks() {
    static const std::map<std::string, int> ranks = {
        {"platform", 0},
        {"framework", 1},
        {"platform/qt", 1},
        {"platform/tools", 1},
        {"plugins/daxo", 1},
        {"models/common", 1},
        {"db", 2},
        {"program/system", 2},
        {"program/connection", 2},
        {"models/glidar", 2},
        {"models/mundre", 2},
        {"UnitsFromGenerator", 3},
        {"program/plugin", 4},
        {"program/runs", 5},
        {"program/checks", 6},
        {"program/reports", 6},
        {"program/startup", 7},
        {"program/batch", 8},
        {"ui", 8},
        {"tests", 9},
        {"bench", 9},
    };
    return ranks;
}

constexpr std::size_t MaximumProductFileLines = 700;

// The ranked folder a path (from the repository root) lies in: its longest ranked prefix.
std::string FolderOf(const std::string& path) {
    std::string best;
    for (const auto& [folder, rank] : FolderRanks())
        if (path.rfind(folder + "/", 0) == 0 && folder.size() > best.size())
            best = folder;
    return best;
}

struct TSourceFile {
    std::string Path; // from the repository root
    std::vector<std::string> Includes;
    std::size_t Lines = 0;
};

std::vector<TSourceFile> SourceFiles() {
    static const std::regex quotedInclude(R"re(^\s*#\s*include\s+"([^"]+)")re");
    const fs::path root(PARVELA_SOURCE_DIR);
    std::vector<TSourceFile> files;
    for (const std::string top : {"platform", "framework", "db", "UnitsFromGenerator", "program",
                                  "plugins", "models", "ui", "tests", "bench"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h"))
                continue;
            TSourceFile file{fs::relative(entry.path(), root).generic_string(), {}, 0};
            std::ifstream text(entry.path());
            std::smatch match;
            for (std::string line; std::getline(text, line); ++file.Lines)
                if (std::regex_search(line, match, quotedInclude))
                    file.Includes.push_back(match[1]);
            files.push_back(std::move(file));
        }
    }
    return files;
}

bool IsProduct(const std::string& path) {
    return path.rfind("tests/", 0) != 0 && path.rfind("bench/", 0) != 0;
}

TEST(LayoutTest, FoldersDependOnEachOtherInOneDirectionOnly) {
    const std::vector<TSourceFile> files = SourceFiles();
    ASSERT_GT(files.size(), 100u);
    for (const TSourceFile& file : files) {
        const std::string folder = FolderOf(file.Path);
        ASSERT_FALSE(folder.empty()) << file.Path << " lies in no folder of the graph";
        for (const std::string& include : file.Includes) {
            // Paths from the repository root, so that the include line shows the dependency.
            if (!fs::exists(fs::path(PARVELA_SOURCE_DIR) / include)) {
                ADD_FAILURE() << file.Path << " includes \"" << include
                              << "\", which is no path from the repository root";
                continue;
            }
            const std::string target = FolderOf(include);
            if (target == folder)
                continue;
            EXPECT_LT(FolderRanks().at(target), FolderRanks().at(folder))
                << file.Path << " (" << folder << ") includes " << include << " (" << target
                << "), a folder that is not below it";
        }
    }
}

TEST(LayoutTest, NoProductSourceFileIsLongerThanSevenHundredLines) {
    for (const TSourceFile& file : SourceFiles())
        if (IsProduct(file.Path))
            EXPECT_LE(file.Lines, MaximumProductFileLines) << file.Path;
}

} // namespace
