// The reader of the plug-in's list texts, attribute lookup, and the comma-text writer.
#include "framework/CommaText.h"
#include "plugins/daxo/ListText.h"
#include "program/plugin/DAXOTextList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace parvela {
namespace {

using Items = std::vector<std::string>;

struct ReadCase {
    const char* name;
    std::string text;
    Items expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class TextListReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(TextListReadTest, Reads) {
    EXPECT_EQ(ReadDAXOTextList(GetParam().text), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, TextListReadTest,
    ::testing::Values(
        ReadCase{"empty text", "", {}}, ReadCase{"only blanks", " \t\r\n ", {}},
        ReadCase{"one word", "alpha", {"alpha"}},
        ReadCase{"two words, one separator", "alpha;beta", {"alpha", "beta"}},
        ReadCase{"two separators give an empty middle item", "alpha;;beta", {"alpha", "", "beta"}},
        ReadCase{"trailing separator adds an empty item", "alpha;", {"alpha", ""}},
        ReadCase{"trailing separator after a blank", "alpha ;", {"alpha", ""}},
        ReadCase{"separator followed by blanks at the end adds nothing", "alpha; ", {"alpha"}},
        ReadCase{"leading separator gives an empty first item", ";alpha", {"", "alpha"}},
        ReadCase{"lone separator", ";", {"", ""}},
        ReadCase{"blank splits an unquoted item", "two words", {"two", "words"}},
        ReadCase{"tabs and line breaks split too", "a\tb\r\nc", {"a", "b", "c"}},
        ReadCase{"blanks around items are dropped", "  a ;  b  ", {"a", "b"}},
        ReadCase{"quoted item keeps blanks and separators", "\"a b;c\";d", {"a b;c", "d"}},
        ReadCase{"doubled quotes stand for one", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
        ReadCase{"quoted empty item", "\"\"", {""}},
        ReadCase{"quoted empty item among others", "a;\"\";b", {"a", "", "b"}},
        ReadCase{"unterminated quote runs to the end", "\"open ended;x", {"open ended;x"}},
        ReadCase{"text after a closing quote starts a new item", "\"ab\"cd", {"ab", "cd"}},
        ReadCase{"quote inside an unquoted item is kept", "ab\"cd", {"ab\"cd"}},
        ReadCase{
            "attribute items", "Name=Value;\"Long=with blank\"", {"Name=Value", "Long=with blank"}},
        ReadCase{"control characters separate",
                 std::string("a\x01"
                             "b\x1f"
                             "c"),
                 {"a", "b", "c"}},
        ReadCase{"characters above 127 belong to the item", "caf\xe9;x", {"caf\xe9", "x"}},
        ReadCase{"nothing after a zero counts", std::string("a;b\0c;d", 7), {"a", "b"}},
        ReadCase{"GUIDs", "{A-1};{B-2}", {"{A-1}", "{B-2}"}}),
    [](const auto& info) {
        std::string name;
        for (char c : std::string(info.param.name))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(TextListFuzzTest, RandomTextsNeverCrashAndRoundTripQuotedItems) {
    std::mt19937 random(20261209);
    const std::string alphabet = "ab;\" =\t\r\n\x01\xff";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        Items items = ReadDAXOTextList(text);
        // No item is longer than the text it came from.
        for (const auto& item : items)
            ASSERT_LE(item.size(), text.size());

        // Every list survives being written with quotes and read again.
        Items original;
        for (int i = 0, n = static_cast<int>(random() % 5) + 1; i < n; ++i) {
            std::string item;
            for (int j = 0, m = static_cast<int>(random() % 6); j < m; ++j)
                item += alphabet[random() % (alphabet.size() - 1)];
            original.push_back(item);
        }
        std::string written;
        for (size_t i = 0; i < original.size(); ++i) {
            std::string quoted = "\"";
            for (char c : original[i])
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            written += (i ? ";" : "") + quoted + "\"";
        }
        ASSERT_EQ(ReadDAXOTextList(written), original) << written;
    }
}

// What the library writes, the program reads back item for item.
TEST(TextListFuzzTest, LibraryListsReadBackUnchanged) {
    std::mt19937 random(7);
    const std::string alphabet = "aZ09{}-=;\" \t\r\n\x01,.\xe9";
    for (int round = 0; round < 3000; ++round) {
        Items items;
        for (int i = 0, n = static_cast<int>(random() % 6) + 1; i < n; ++i) {
            std::string item;
            for (int j = 0, m = static_cast<int>(random() % 8); j < m; ++j)
                item += alphabet[random() % alphabet.size()];
            items.push_back(item);
        }
        std::string text = daxo::JoinListItems(items);
        ASSERT_EQ(ReadDAXOTextList(text), items) << text;
    }
    EXPECT_EQ(daxo::JoinListItems({"{A}", "{B}"}), "{A};{B}") << "plain GUIDs stay unquoted";
}

TEST(AttributeListTest, LooksUpNamesIgnoringCaseFirstMatchValueAfterFirstEquals) {
    TDAXOAttributeList list;
    list.ReadText("SubstanceCode=ALPHA;molmass=291.3;MolMass=999;Formula=a=b;NoEquals;Empty=");
    struct Case {
        const char* name;
        const char* value;
        int index;
    } cases[] = {{"SubstanceCode", "ALPHA", 0},
                 {"SUBSTANCECODE", "ALPHA", 0},
                 {"MolMass", "291.3", 1},
                 {"Formula", "a=b", 3},
                 {"NoEquals", "", -1},
                 {"Empty", "", 5},
                 {"Absent", "", -1},
                 {"", "", -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(list.Value(c.name), c.value) << c.name;
        EXPECT_EQ(list.IndexOfName(c.name), c.index) << c.name;
    }
    EXPECT_EQ(list.Count(), 6u);
}

TEST(GUIDListTest, ComparesGuidsExactlyAndOwnsAttachedLists) {
    TDAXOGUIDList list;
    list.Add("{abc}", std::make_unique<TDAXOAttributeList>(Items{"SubstanceCode=A"}));
    list.Add("{ABC}");
    EXPECT_EQ(list.IndexOf("{abc}"), 0);
    EXPECT_EQ(list.IndexOf("{ABC}"), 1);
    EXPECT_EQ(list.IndexOf("{Abc}"), -1);
    EXPECT_EQ(list[0].Attributes->Value("substancecode"), "A");
    EXPECT_EQ(list[1].Attributes, nullptr);
    list.Clear();
    EXPECT_TRUE(list.Empty());
}

struct CommaCase {
    Items items;
    std::string expected;
};

TEST(CommaTextTest, QuotesWhatNeedsQuotes) {
    CommaCase cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a"}, "a"},
        {{"a", "b"}, "a,b"},
        {{"a", ""}, "a,"},
        {{"Error in model: GLIDAR", "message line"}, "\"Error in model: GLIDAR\",\"message line\""},
        {{"x,y"}, "\"x,y\""},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"tab\there"}, "\"tab\there\""},
        {{"semi;colon"}, "semi;colon"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommaText(c.items), c.expected);
}

} // namespace
} // namespace parvela
