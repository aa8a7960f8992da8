// Filter conditions and the SELECT statement built from its parts.

#include "framework/TDACFilter.h"
#include "framework/TDACSQLGenerator.h"
#include "platform/Exceptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace parvela {
namespace {

using Lines = std::vector<std::string>;

template <class E, class F> std::string MessageOf(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return "<no failure>";
}

TEST(TDACFilterTest, NoConditionGivesEmptyText) {
    EXPECT_EQ(TDACFilter().FilterText(), "");
}

TEST(TDACFilterTest, SameFormatInOtherCaseReplacesTheArguments) {
    TDACFilter filter;
    filter.FilterAdd("projectid=%s", {"12"});
    filter.FilterAdd("PROJECTID=%s", {"13"});
    EXPECT_EQ(filter.Count(), 1u);
    EXPECT_EQ(filter.FilterText(), "PROJECTID=13");
}

TEST(TDACFilterTest, FormatIsStoredInUpperCaseButArgumentsKeepTheirCase) {
    TDACFilter filter;
    filter.FilterAdd("caption='%s'", {"Mixed Case"});
    EXPECT_EQ(filter.FilterText(), "CAPTION='Mixed Case'");
}

TEST(TDACFilterTest, ConditionsAreJoinedWithAndInTheOrderAdded) {
    TDACFilter filter;
    filter.FilterAdd("B=%d", {2});
    filter.FilterAdd("A=%s", {"x"});
    filter.FilterAdd("C=%f", {1.5});
    filter.FilterAdd("B=%d", {3});
    EXPECT_EQ(filter.FilterText(), "B=3 AND A=x AND C=1.50");
}

TEST(TDACFilterTest, ChangedArgumentCountFailsAndKeepsTheOldArguments) {
    TDACFilter filter;
    filter.FilterAdd("PROJECTID=%s", {"12"});
    EXPECT_EQ(MessageOf<Exception>([&] {
                  filter.FilterAdd("PROJECTID=%s", {"13", "14"});
              }),
              "TDACFilter.FilterAdd: Number of format values changed.");
    EXPECT_EQ(filter.FilterText(), "PROJECTID=12");
}

TEST(TDACFilterTest, EmptyFormatFails) {
    TDACFilter filter;
    EXPECT_EQ(MessageOf<Exception>([&] { filter.FilterAdd("", {}); }),
              "TDACFilter.FilterAdd: No format given.");
}

TEST(TDACFilterTest, ArgumentsAreCopiedWhenGiven) {
    TDACFilter filter;
    std::string value = "12";
    filter.FilterAdd("PROJECTID=%s", {value});
    value = "99";
    EXPECT_EQ(filter.FilterText(), "PROJECTID=12");
}

TEST(TDACSQLGeneratorTest, ProjectExampleGivesFiveLines) {
    TDACSQLGenerator generator;
    generator.SelectFieldsAdd({"ASSESSMENTID", "CAPTION", "PROJECTID"});
    generator.FromSet("ASSESSMENTS");
    generator.FilterAdd("PROJECTID=%s", {"12"});
    EXPECT_THAT(generator.SQLStrings(),
                ::testing::ElementsAre("SELECT ASSESSMENTID,", "CAPTION,", "PROJECTID",
                                       "FROM ASSESSMENTS", "WHERE PROJECTID=12"));
    EXPECT_EQ(generator.SQLText(), "SELECT ASSESSMENTID,\r\nCAPTION,\r\nPROJECTID\r\n"
                                   "FROM ASSESSMENTS\r\nWHERE PROJECTID=12\r\n");
}

struct StatementCase {
    std::string name;
    std::function<void(TDACSQLGenerator&)> build;
    Lines expected;
};

void PrintTo(const StatementCase& c, std::ostream* os) {
    *os << c.name;
}

class StatementShapes : public ::testing::TestWithParam<StatementCase> {};

TEST_P(StatementShapes, GiveTheExpectedLines) {
    TDACSQLGenerator generator;
    GetParam().build(generator);
    EXPECT_EQ(generator.SQLStrings(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Generator, StatementShapes,
    ::testing::Values(StatementCase{"one field has no comma",
                                    [](TDACSQLGenerator& g) {
                                        g.SelectFieldsAdd({"CAPTION"});
                                        g.FromSet("T");
                                    },
                                    {"SELECT CAPTION", "FROM T"}},
                      StatementCase{"two fields",
                                    [](TDACSQLGenerator& g) {
                                        g.SelectFieldsAdd({"A"});
                                        g.SelectFieldsAdd({"B"});
                                        g.FromSet("T");
                                    },
                                    {"SELECT A,", "B", "FROM T"}},
                      StatementCase{"fixed where with filter gives AND line",
                                    [](TDACSQLGenerator& g) {
                                        g.SelectFieldsAdd({"A"});
                                        g.FromSet("T");
                                        g.WhereSet("A>0");
                                        g.FilterAdd("B=%d", {1});
                                        g.FilterAdd("C=%d", {2});
                                    },
                                    {"SELECT A", "FROM T", "WHERE A>0", "AND B=1 AND C=2"}},
                      StatementCase{"where without filter",
                                    [](TDACSQLGenerator& g) {
                                        g.SelectFieldsAdd({"A"});
                                        g.FromSet("T");
                                        g.WhereSet("A>0");
                                    },
                                    {"SELECT A", "FROM T", "WHERE A>0"}},
                      StatementCase{"from and where are replaced",
                                    [](TDACSQLGenerator& g) {
                                        g.SelectFieldsAdd({"A"});
                                        g.FromSet("T");
                                        g.FromSet("U");
                                        g.WhereSet("X=1");
                                        g.WhereSet("Y=2");
                                    },
                                    {"SELECT A", "FROM U", "WHERE Y=2"}},
                      StatementCase{
                          "group and order joined with comma",
                          [](TDACSQLGenerator& g) {
                              g.SelectFieldsAdd({"A", "COUNT(*) AS N"});
                              g.FromSet("T");
                              g.GroupByAdd({"A", "B"});
                              g.OrderByAdd({"A"});
                              g.OrderByAdd({"N"});
                          },
                          {"SELECT A,", "COUNT(*) AS N", "FROM T", "GROUP BY A,B", "ORDER BY A,N"}},
                      StatementCase{"blank element counts as content",
                                    [](TDACSQLGenerator& g) {
                                        g.SelectFieldsAdd({" "});
                                        g.FromSet("T");
                                    },
                                    {"SELECT  ", "FROM T"}}));

struct FailureCase {
    std::string name;
    std::function<void(TDACSQLGenerator&)> action;
    std::string message;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class GeneratorFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(GeneratorFailures, RaiseTheirMessages) {
    TDACSQLGenerator generator;
    EXPECT_EQ(MessageOf<Exception>([&] { GetParam().action(generator); }), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Generator, GeneratorFailures,
    ::testing::Values(FailureCase{"empty select field",
                                  [](TDACSQLGenerator& g) {
                                      g.SelectFieldsAdd({"A", ""});
                                  },
                                  "TDACSQLGenerator.SelectFieldsAdd: Empty field."},
                      FailureCase{"empty from", [](TDACSQLGenerator& g) { g.FromSet(""); },
                                  "TDACSQLGenerator.FromSet: No SQL FROM string given."},
                      FailureCase{"empty where", [](TDACSQLGenerator& g) { g.WhereSet(""); },
                                  "TDACSQLGenerator.WhereSet: No SQL WHERE string given."},
                      FailureCase{"empty group field",
                                  [](TDACSQLGenerator& g) { g.GroupByAdd({""}); },
                                  "TDACSQLGenerator.GroupByAdd: Empty field."},
                      FailureCase{"empty order field",
                                  [](TDACSQLGenerator& g) {
                                      g.OrderByAdd({"A", ""});
                                  },
                                  "TDACSQLGenerator.OrderByAdd: Empty field."},
                      FailureCase{"empty filter format",
                                  [](TDACSQLGenerator& g) { g.FilterAdd("", {}); },
                                  "TDACFilter.FilterAdd: No format given."}));

TEST(TDACSQLGeneratorTest, NoSelectFieldIsAnAssertionFailure) {
    TDACSQLGenerator generator;
    generator.FromSet("T");
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { generator.SQLStrings(); }),
              "TDACSQLGenerator.SQLStrings: No fields selected.");
}

TEST(TDACSQLGeneratorTest, ElementsBeforeAnEmptyOneStayAdded) {
    TDACSQLGenerator generator;
    EXPECT_THROW(generator.SelectFieldsAdd({"A", "B", "", "C"}), Exception);
    generator.FromSet("T");
    EXPECT_EQ(generator.SQLStrings(), (Lines{"SELECT A,", "B", "FROM T"}));
}

TEST(TDACSQLGeneratorTest, CallerChangingItsTextAfterFilterAddDoesNotChangeTheStatement) {
    TDACSQLGenerator generator;
    generator.SelectFieldsAdd({"A"});
    generator.FromSet("T");
    std::string projectId = "12";
    generator.FilterAdd("PROJECTID=%s", {projectId});
    projectId = "13";
    EXPECT_EQ(generator.SQLStrings().back(), "WHERE PROJECTID=12");
}

} // namespace
} // namespace parvela
