#include "platform/VersionBlock.h"

#include "tests/platform/TestDirectory.h"

#include <gtest/gtest.h>

#include <regex>

namespace parvela {
namespace {

// The version the project declares, read from the top-level build file.
TFileVersion DeclaredProjectVersion() {
    const std::string text = test::ReadText(std::string(PARVELA_SOURCE_DIR) + "/CMakeLists.txt");
    std::smatch match;
    const std::regex declaration(R"(project\(\s*Parvela\s+VERSION\s+(\d+)\.(\d+)\.(\d+)\.(\d+))");
    if (!std::regex_search(text, match, declaration))
        throw std::runtime_error("no project version in CMakeLists.txt");
    auto part = [&match](int i) { return static_cast<std::uint16_t>(std::stoi(match[i].str())); };
    return TFileVersion{part(1), part(2), part(3), part(4)};
}

TEST(VersionBlock, CarriesTheProjectVersion) {
    ASSERT_GT(FileVersionInfoSize(), 0u);
    const std::optional<TFileVersion> version = FileVersion();
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(*version, DeclaredProjectVersion());
    EXPECT_EQ(*version, (TFileVersion{2, 0, 4, 1}));
}

// The one version of the program, wherever the package shows it beside the version block.
TEST(VersionBlock, TheManPagesAndTheMetainfoCarryTheProjectVersion) {
    const std::string packaging = std::string(PARVELA_BIN_DIR) + "/../packaging/";
    for (const char* command : {"parvela", "parvela-batch", "parvela-db", "parvela-registry"}) {
        const std::string page = test::ReadText(packaging + "man/" + command + ".1");
        const std::string heading = page.substr(0, page.find('\n'));
        EXPECT_NE(heading.find(" 1 \"2024-01-01\" \"Parvela 2.0.4.1\" "), std::string::npos)
            << heading;
    }
    EXPECT_NE(test::ReadText(packaging + "org.example.parvela.metainfo.xml")
                  .find("<release version=\"2.0.4.1\" date=\"2024-01-01\"/>"),
              std::string::npos);
}

TEST(VersionBlock, OverrideSimulatesAnExecutableWithoutBlock) {
    {
        TVersionBlockOverride none(std::nullopt);
        EXPECT_EQ(FileVersionInfoSize(), 0u);
        EXPECT_FALSE(FileVersion().has_value());
    }
    EXPECT_GT(FileVersionInfoSize(), 0u);
    EXPECT_EQ(FileVersion(), (TFileVersion{2, 0, 4, 1}));
}

TEST(VersionBlock, OverridesNestAndRestore) {
    {
        TVersionBlockOverride other(TFileVersion{3, 1, 0, 65535});
        EXPECT_GT(FileVersionInfoSize(), 0u);
        EXPECT_EQ(FileVersion(), (TFileVersion{3, 1, 0, 65535}));
        {
            TVersionBlockOverride none(std::nullopt);
            EXPECT_EQ(FileVersionInfoSize(), 0u);
        }
        EXPECT_EQ(FileVersion(), (TFileVersion{3, 1, 0, 65535}));
    }
    EXPECT_EQ(FileVersion(), (TFileVersion{2, 0, 4, 1}));
}

} // namespace
} // namespace parvela
