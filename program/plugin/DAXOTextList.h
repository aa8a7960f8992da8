#pragma once
// The lists that the substance plug-in answers with, and the reader of their one-text form.
//
// Reading: items are separated by ";" and by runs of characters 1 to 32 outside double
// quotes; blanks around an item are dropped; an item that begins with a double quote runs to
// its matching quote, two double quotes inside standing for one; two ";" give an empty item
// between them, and a ";" as the very last character adds an empty item.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parvela {

inline constexpr char DAXOListSeparator = ';';

std::vector<std::string> ReadDAXOTextList(std::string_view text);

// The text without the characters 0 to 32 at either end, as blank GUIDs and paths are told.
std::string TrimText(std::string_view text);

// Items "name=value". Names compare without regard to letter case; the first item with the
// name counts and its value is everything after the first "="; an absent name reads empty.
class TDAXOAttributeList {
public:
    TDAXOAttributeList() = default;
    explicit TDAXOAttributeList(std::vector<std::string> items) : items_(std::move(items)) {}

    void ReadText(std::string_view text) { items_ = ReadDAXOTextList(text); }
    void Clear() { items_.clear(); }
    void Add(std::string item) { items_.push_back(std::move(item)); }

    size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    const std::string& operator[](size_t index) const { return items_.at(index); }
    const std::vector<std::string>& Items() const { return items_; }

    // -1 when no item has the name.
    int IndexOfName(std::string_view name) const;
    std::string Value(std::string_view name) const;

private:
    std::vector<std::string> items_;
};

// One GUID with, when the list was asked for with attributes, its own attribute list.
struct TDAXOGUIDEntry {
    std::string GUID;
    std::unique_ptr<TDAXOAttributeList> Attributes;
};

// GUIDs in the plug-in's order. The list owns the attribute lists attached to its entries;
// emptying or destroying it destroys them.
class TDAXOGUIDList {
public:
    void Clear() { entries_.clear(); }
    void Add(std::string guid, std::unique_ptr<TDAXOAttributeList> attributes = nullptr) {
        entries_.push_back({std::move(guid), std::move(attributes)});
    }

    size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const TDAXOGUIDEntry& operator[](size_t index) const { return entries_.at(index); }
    TDAXOGUIDEntry& operator[](size_t index) { return entries_.at(index); }
    // GUIDs compare exactly, letter case included; -1 when absent.
    int IndexOf(std::string_view guid) const;

    std::vector<TDAXOGUIDEntry>& Entries() { return entries_; }
    const std::vector<TDAXOGUIDEntry>& Entries() const { return entries_; }
    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::vector<TDAXOGUIDEntry> entries_;
};

} // namespace parvela
