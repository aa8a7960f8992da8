// Table definitions: columns, lookups by name and index, the lazy singleton.

#include "framework/Singleton.h"
#include "framework/TDACRecordSetDefs.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace parvela {
namespace {

class TrsdThreeColumns : public TDACRecordSetDefs,
                         public TSingleton<TrsdThreeColumns, SingletonKind::Lazy> {
public:
    static constexpr const char* ClassName = "TrsdThreeColumns";
    std::string FromTable() const override { return "THREE"; }
    std::string UpdateTable() const override { return "THREE"; }
    std::string FixedWhere() const override { return ""; }
    std::string FixedGroupBy() const override { return ""; }
    std::string KeyField() const override { return "THREEID"; }

private:
    friend class TSingleton<TrsdThreeColumns, SingletonKind::Lazy>;
    TrsdThreeColumns() {
        Add("ThreeID", ftInteger, TDACFieldOrigin::foPersistent);
        Add("  caption ", ftString, TDACFieldOrigin::foView);
        AddExpressionField(" ucaption", ftString, " UPPER(CAPTION)");
    }
};

// A definition that tests may add to freely.
class PlainDefs : public TDACRecordSetDefs {
public:
    std::string FromTable() const override { return "T"; }
    std::string UpdateTable() const override { return "T"; }
    std::string FixedWhere() const override { return ""; }
    std::string FixedGroupBy() const override { return ""; }
    std::string KeyField() const override { return "ID"; }
};

template <class E, class F> std::string MessageOf(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return "<no failure>";
}

TEST(TDACRecordSetDefsTest, ColumnsAreTrimmedUpperCaseAndInOrder) {
    const TDACRecordSetDefs& defs = TrsdThreeColumns::GetSingleton();
    ASSERT_EQ(defs.FieldCount(), 3);
    EXPECT_EQ(defs.FieldName(0), "THREEID");
    EXPECT_EQ(defs.FieldName(1), "CAPTION");
    EXPECT_EQ(defs.FieldName(2), "UCAPTION");
    EXPECT_EQ(defs.FieldType(0), ftInteger);
    EXPECT_EQ(defs.FieldOrigin(1), TDACFieldOrigin::foView);
    EXPECT_FALSE(defs.IsExpression(1));
    EXPECT_EQ(defs.FieldExpression(1), "");
}

TEST(TDACRecordSetDefsTest, ExpressionColumnKeepsItsExpressionUnchanged) {
    const TDACRecordSetDefs& defs = TrsdThreeColumns::GetSingleton();
    EXPECT_TRUE(defs.IsExpression("ucaption"));
    EXPECT_EQ(defs.FieldExpression("UCAPTION"), " UPPER(CAPTION)");
    EXPECT_EQ(defs.FieldOrigin("UCaption"), TDACFieldOrigin::foExpression);
    EXPECT_EQ(defs.FieldType("ucaption"), ftString);
}

TEST(TDACRecordSetDefsTest, LookupsByNameIgnoreCaseAndByIndexCheckTheRange) {
    const TDACRecordSetDefs& defs = TrsdThreeColumns::GetSingleton();
    EXPECT_EQ(defs.IndexOf("caption"), 1);
    EXPECT_EQ(defs.IndexOf("CAPTION"), 1);
    EXPECT_EQ(defs.IndexOf(2), 2);
    EXPECT_EQ(defs.FieldName("threeid"), "THREEID");
    EXPECT_EQ(MessageOf<Exception>([&] { defs.IndexOf(3); }),
              "TRecordSetDefs.IndexOf: Field \"3\" not found");
    EXPECT_EQ(MessageOf<Exception>([&] { defs.IndexOf(-1); }),
              "TRecordSetDefs.IndexOf: Field \"-1\" not found");
    EXPECT_EQ(MessageOf<Exception>([&] { defs.FieldType(7); }),
              "TRecordSetDefs.IndexOf: Field \"7\" not found");
    EXPECT_EQ(MessageOf<Exception>([&] { defs.IndexOf("MISSING"); }),
              "TRecordSetDefs.IndexOf: Field \"MISSING\" not found");
    EXPECT_EQ(MessageOf<Exception>([&] { defs.FieldName(std::string("nope")); }),
              "TRecordSetDefs.IndexOf: Field \"nope\" not found");
}

TEST(TDACRecordSetDefsTest, LazySingletonIsCreatedOnceAndGuarded) {
    TDACRecordSetDefs* first = &TrsdThreeColumns::GetSingleton();
    EXPECT_EQ(first, &TrsdThreeColumns::GetSingleton());
    EXPECT_EQ(MessageOf<Exception>([] { TrsdThreeColumns::GetSingleton().Destroy(); }),
              "Error: Do not use TrsdThreeColumns.Destroy, this would destroy the singleton "
              "object, use TrsdThreeColumns.DestroySingleton !");
    EXPECT_EQ(first, &TrsdThreeColumns::GetSingleton());
}

TEST(TDACRecordSetDefsTest, NameAddedTwiceIsFoundFirst) {
    PlainDefs defs;
    defs.Add("A", ftInteger, TDACFieldOrigin::foPersistent);
    defs.Add("a", ftString, TDACFieldOrigin::foInternalID);
    EXPECT_EQ(defs.FieldCount(), 2);
    EXPECT_EQ(defs.IndexOf("A"), 0);
    EXPECT_EQ(defs.FieldOrigin(1), TDACFieldOrigin::foInternalID);
}

struct AddFailure {
    std::string name;
    std::function<void(TDACRecordSetDefs&)> add;
    std::string message;
};

void PrintTo(const AddFailure& c, std::ostream* os) {
    *os << c.name;
}

class AddFailures : public ::testing::TestWithParam<AddFailure> {};

TEST_P(AddFailures, AreAssertionsAndAddNothing) {
    PlainDefs defs;
    EXPECT_EQ(MessageOf<EAssertionFailed>([&] { GetParam().add(defs); }), GetParam().message);
    EXPECT_EQ(defs.FieldCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Definitions, AddFailures,
    ::testing::Values(
        AddFailure{
            "blank name",
            [](TDACRecordSetDefs& d) { d.Add("  ", ftString, TDACFieldOrigin::foPersistent); },
            "TRecordSetDefs.Add: Empty fieldname"},
        AddFailure{
            "expression origin",
            [](TDACRecordSetDefs& d) { d.Add("X", ftString, TDACFieldOrigin::foExpression); },
            "TRecordSetDefs.Add: Field Expression cannot be defined with Add method, use "
            "AddFieldExpression."},
        AddFailure{"expression without name",
                   [](TDACRecordSetDefs& d) { d.AddExpressionField(" ", ftString, "UPPER(A)"); },
                   "TDACRecordSetDefs.AddExpressionField: Empty fieldname"},
        AddFailure{"expression without expression",
                   [](TDACRecordSetDefs& d) { d.AddExpressionField("X", ftString, "  "); },
                   "TDACRecordSetDefs.AddExpressionField: Empty field expression"}));

TEST(TDACFieldOriginTest, OrdinalValues) {
    EXPECT_EQ(static_cast<int>(TDACFieldOrigin::foPersistent), 0);
    EXPECT_EQ(static_cast<int>(TDACFieldOrigin::foView), 1);
    EXPECT_EQ(static_cast<int>(TDACFieldOrigin::foExpression), 2);
    EXPECT_EQ(static_cast<int>(TDACFieldOrigin::foInternalID), 3);
    EXPECT_EQ(static_cast<int>(TDACFieldOrigin::foClientCalculated), 4);
}

} // namespace
} // namespace parvela
