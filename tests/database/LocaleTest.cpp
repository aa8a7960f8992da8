// Reals and date-times read the same under a locale whose decimal separator is a comma, as
// the Qt program runs on a German desktop (QApplication takes the user's locale).

#include "framework/DateTime.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace parvela {
namespace {

// A German locale, compiled into the test work directory when the system has none.
bool UseCommaLocale() {
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        return true;
    const std::filesystem::path dir = std::filesystem::path(PARVELA_TEST_WORK_DIR) / "locale";
    if (!std::filesystem::exists(dir / "de_DE.UTF-8")) {
        std::filesystem::create_directories(dir);
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return false;
    }
    ::setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

class LocaleTest : public test::DatabaseTest {
protected:
    void TearDown() override {
        std::setlocale(LC_NUMERIC, "C");
        DatabaseTest::TearDown();
    }
};

TEST_P(LocaleTest, RealsAndDateTimesIgnoreTheDecimalCommaOfTheLocale) {
    if (!UseCommaLocale())
        GTEST_SKIP() << "no de_DE locale and none can be compiled (package locales)";
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
    const TDateTime applied = EncodeDateTime(2015, 12, 31, 14, 5, 30, 250);
    Db().ExecSQL("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONDATE, DOSAGE, "
                 "APPLICATIONPARAMETER, SPRAYDRIFTPERC) VALUES (1, '2015-12-31 14:05:30.25', "
                 "0.5, 12.25, 1E-7)");
    auto query = Db().OpenQuery("SELECT * FROM APPLICATIONS");
    EXPECT_DOUBLE_EQ(query->FieldByName("DOSAGE").AsFloat(), 0.5);
    EXPECT_DOUBLE_EQ(query->FieldByName("APPLICATIONPARAMETER").AsFloat(), 12.25);
    EXPECT_DOUBLE_EQ(query->FieldByName("SPRAYDRIFTPERC").AsFloat(), 1E-7);
    EXPECT_EQ(query->FieldByName("DOSAGE").AsString(), "0.5");
    EXPECT_NEAR(query->FieldByName("APPLICATIONDATE").AsDateTime(), applied, 1e-8);
    EXPECT_EQ(Db().SelectValue("DOSAGE * 2", "APPLICATIONS", "").AsReal(), 1.0);
}

PARVELA_INSTANTIATE_DATABASE_TEST(LocaleTest);

} // namespace
} // namespace parvela
