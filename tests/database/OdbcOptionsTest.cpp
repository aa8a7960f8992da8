// How the connection parameter lines reach ODBC.

#include "framework/odbc/ConnectionOptions.h"
#include "framework/odbc/Unicode.h"

#include <gtest/gtest.h>

namespace parvela::odbc {
namespace {

TEST(ConnectionOptions, TakesWhatODBCHasFromTheParameterLines) {
    const ConnectionOptions options = ConnectionOptions::FromParams(
        {"DriverName=OpenOdbc", "Database=ParvelaData", "User_Name=assessor", "Password=se=cret",
         "RowsetSize=20", "BlobSize=-1",
         "Custom String=coNetPacketSize=8192;coLockMode=17;coBlobChunkSize=40960",
         "Trim Char=False"});
    EXPECT_EQ(options.Database, "ParvelaData");
    EXPECT_EQ(options.UserName, "assessor");
    EXPECT_EQ(options.Password, "se=cret");
    EXPECT_EQ(options.PacketSize, 8192u);
    EXPECT_EQ(options.BlobChunkSize, 40960u);
    EXPECT_EQ(options.BlobSize, -1);
    EXPECT_FALSE(options.TrimChar);
    EXPECT_TRUE(ConnectionOptions::FromParams({"Trim Char=True"}).TrimChar);
}

TEST(ConnectionOptions, BuildsTheConnectionString) {
    struct Case {
        const char* database;
        const char* user;
        const char* password;
        const char* expected;
    };
    const Case cases[] = {
        {"ParvelaData", "assessor", "secret", "DSN=ParvelaData;UID=assessor;PWD=secret"},
        {"ParvelaData", "", "", "DSN=ParvelaData"},
        {"Driver=SQLite3;Database=/tmp/p.sqlite", "", "", "Driver=SQLite3;Database=/tmp/p.sqlite"},
        {"Driver={PostgreSQL Unicode};Server=127.0.0.1;", "u", "",
         "Driver={PostgreSQL Unicode};Server=127.0.0.1;UID=u"},
        {"Driver=X", "u", "a;b}c", "Driver=X;UID=u;PWD={a;b}}c}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildConnectionString(c.database, c.user, c.password), c.expected) << c.database;
}

TEST(ConnectionOptions, FindsKeywordsIgnoringCase) {
    const std::string text = "Driver={PostgreSQL Unicode};server=h;Timeout=5;PWD={a;b}";
    EXPECT_EQ(ConnectionStringValue(text, "TIMEOUT"), "5");
    EXPECT_EQ(ConnectionStringValue(text, "Server"), "h");
    EXPECT_EQ(ConnectionStringValue(text, "driver"), "{PostgreSQL Unicode}");
    EXPECT_EQ(ConnectionStringValue(text, "pwd"), "{a;b}");
    EXPECT_FALSE(ConnectionStringValue(text, "Port").has_value());
}

TEST(Unicode, RoundTripsThroughUtf16) {
    for (const std::string text : {"", "plain", "é à ü", "€ 100", "rice 🌾 paddy"}) {
        const WideString wide = Utf8ToWide(text);
        EXPECT_EQ(WideToUtf8(wide), text);
    }
    EXPECT_EQ(Utf8ToWide("🌾").size(), 2u); // a surrogate pair
}

} // namespace
} // namespace parvela::odbc
