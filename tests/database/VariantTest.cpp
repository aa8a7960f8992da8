// Values of query columns and their conversions.

#include "framework/Variant.h"
#include "framework/DateTime.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

namespace parvela {
namespace {

TEST(Variant, NullConvertsToEmptyValues) {
    const TVariant null;
    EXPECT_TRUE(null.IsNull());
    EXPECT_EQ(null.AsInteger(), 0);
    EXPECT_EQ(null.AsReal(), 0.0);
    EXPECT_EQ(null.AsString(), "");
    EXPECT_FALSE(null.AsBoolean());
}

TEST(Variant, TextsOfEachKind) {
    EXPECT_EQ(TVariant::Integer(-2147483648LL).AsString(), "-2147483648");
    EXPECT_EQ(TVariant::Real(0.5).AsString(), "0.5");
    EXPECT_EQ(TVariant::Real(12.25).AsString(), "12.25");
    EXPECT_EQ(TVariant::Boolean(true).AsString(), "True");
    EXPECT_EQ(TVariant::Boolean(false).AsString(), "False");
    EXPECT_EQ(TVariant::Text("é'x").AsString(), "é'x");
    EXPECT_EQ(TVariant::DateTime(EncodeDateTime(2015, 12, 31, 14, 5, 0)).AsString(),
              "2015-12-31 14:05:00");
}

TEST(Variant, NumbersFromTexts) {
    EXPECT_EQ(TVariant::Text("42").AsInteger(), 42);
    EXPECT_EQ(TVariant::Text(" -7 ").AsInteger(), -7);
    EXPECT_DOUBLE_EQ(TVariant::Text("0.25").AsReal(), 0.25);
    EXPECT_EQ(TVariant::Real(2.0).AsInteger(), 2);
    EXPECT_EQ(TVariant::Boolean(true).AsInteger(), 1);
    EXPECT_THROW(TVariant::Text("forty").AsInteger(), EConvertError);
    EXPECT_THROW(TVariant::Text("").AsReal(), EConvertError);
}

TEST(Variant, BooleansFromTextsAndNumbers) {
    EXPECT_TRUE(TVariant::Text("True").AsBoolean());
    EXPECT_TRUE(TVariant::Text("true").AsBoolean());
    EXPECT_FALSE(TVariant::Text("FALSE").AsBoolean());
    EXPECT_TRUE(TVariant::Integer(1).AsBoolean());
    EXPECT_FALSE(TVariant::Integer(0).AsBoolean());
    EXPECT_THROW(TVariant::Text("Yes").AsBoolean(), EConvertError);
}

TEST(Variant, DateTimesFromTexts) {
    EXPECT_DOUBLE_EQ(TVariant::Text("2015-12-31").AsDateTime(), EncodeDate(2015, 12, 31));
    EXPECT_DOUBLE_EQ(TVariant::Text("2015-12-31 14:05:00").AsDateTime(),
                     EncodeDateTime(2015, 12, 31, 14, 5, 0));
    EXPECT_DOUBLE_EQ(TVariant::DateTime(3.5).AsDateTime(), 3.5);
    EXPECT_DOUBLE_EQ(TVariant::DateTime(3.5).AsReal(), 3.5);
    EXPECT_THROW(TVariant::Text("31/12/2015").AsDateTime(), EConvertError);
    EXPECT_THROW(TVariant::Text("2015-02-30").AsDateTime(), EConvertError);
}

} // namespace
} // namespace parvela
