#pragma once
// The text of one registry store: sections named by key path, each holding typed values.
//
//   ; comments are whole lines beginning with ";" or "#"
//   [SOFTWARE\Vantiro\DAXO]
//   daxo_dll = /opt/daxo/libdaxo.so
//   Other = "/opt/daxo/with a tab\there"
//   LastOpenedProject = dword:00000011
//
// A value without quotes is a string, taken as written (blanks around it dropped). A quoted
// string knows the escapes \\ \" \n \r \t and \xHH; the program writes every string so.
// Integers are 32-bit, "dword:" and one to eight hexadecimal digits. Only a comment may follow
// a quoted string or an integer. Key paths and value names are matched without regard to
// case. Comments and blank lines are kept as they stand, and untouched values keep their
// original spelling, so that rewriting the document changes only what was written. A line
// that is none of these makes the whole text unreadable (SyntaxError), so that a mistyped
// line is reported instead of read as something else.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace parvela {

using TRegistryValue = std::variant<std::string, std::int32_t>;

// The first line of a text that cannot be read: its number (from 1) and its text.
struct TRegistrySyntaxError {
    int Line = 0;
    std::string Text;
};

class TRegistryDocument {
public:
    static TRegistryDocument Parse(const std::string& text);
    std::string Text() const;
    // Set when Parse met a line it cannot read; the document is then not to be used.
    const std::optional<TRegistrySyntaxError>& SyntaxError() const { return syntaxError_; }

    // True for a key that has a section, and for every parent of such a key.
    bool HasKey(const std::string& key) const;
    // Adds an empty section unless the key exists; returns whether it added one.
    bool AddKey(const std::string& key);

    const TRegistryValue* Find(const std::string& key, const std::string& name) const;
    // Replaces the first value of that name (keeping the name's spelling) and drops any
    // later duplicate; appends the value to the key's first section, created when missing.
    void Set(const std::string& key, const std::string& name, const TRegistryValue& value);
    // Removes every value of that name from the key; returns whether there was one.
    bool Remove(const std::string& key, const std::string& name);

    // Whether a section header can name the key exactly (no control characters, no
    // surrounding blanks, nothing that reads as the header's end).
    static bool CanHoldKey(const std::string& key);

    // The text forms, also used for single values in messages and tests.
    static std::string FormatValue(const TRegistryValue& value);
    static std::optional<TRegistryValue> ParseValue(const std::string& text);

private:
    struct Entry {
        std::string Name;
        TRegistryValue Value;
    };
    struct Line {
        std::string Raw;
        std::optional<Entry> Value;
    };
    struct Section {
        std::string Name;
        std::string HeaderRaw; // empty for the lines before the first section
        std::vector<Line> Lines;
    };

    std::vector<Section*> SectionsOf(const std::string& key);
    std::vector<const Section*> SectionsOf(const std::string& key) const;
    void AppendSection(const std::string& key);
    static Line EntryLine(const std::string& name, const TRegistryValue& value);

    std::vector<Section> sections_{Section{}};
    std::optional<TRegistrySyntaxError> syntaxError_;
};

// ASCII letters compared without case, as the registry does for key and value names.
bool SameRegistryName(const std::string& left, const std::string& right);

} // namespace parvela
