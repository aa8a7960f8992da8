#include "models/common/InputFile.h"

#include "models/common/Text.h"

namespace parvela::models {

namespace {

bool IsCommentOrEmpty(const std::string& trimmed) {
    return trimmed.empty() || trimmed.front() == '*';
}

// A "!" starts a comment when it begins the line or follows a blank, so that a "!" inside
// a word (a caption) stays part of it.
std::string WithoutComment(const std::string& line) {
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '!' && (i == 0 || static_cast<unsigned char>(line[i - 1]) <= ' '))
            return line.substr(0, i);
    return line;
}

bool IsUnit(const std::string& word) {
    return word.size() >= 2 && word.front() == '(' && word.back() == ')';
}

// "value Keyword (unit)": the keyword is the last word before the unit and the value is
// everything before it, so that values with blanks (scheme captions) stay whole.
KeywordLine ParseKeywordLine(const std::string& text, int line) {
    KeywordLine keyword;
    keyword.line = line;
    std::string rest = Trim(text);
    std::vector<std::string> words = SplitWords(rest);
    if (words.size() >= 2 && IsUnit(words.back())) {
        keyword.unit = words.back().substr(1, words.back().size() - 2);
        rest = Trim(rest.substr(0, rest.rfind(words.back())));
        words.pop_back();
    }
    keyword.keyword = words.back();
    keyword.value = Trim(rest.substr(0, rest.size() - keyword.keyword.size()));
    return keyword;
}

// "table [horizon] name [(unit)]"; a keyword line whose value begins with the word "table"
// (a scheme called "Table grapes") has another shape.
bool IsTableHeader(const std::vector<std::string>& words) {
    if (!EqualsNoCase(words.front(), "table"))
        return false;
    std::size_t name = 1;
    if (words.size() > 2 && EqualsNoCase(words[1], "horizon"))
        name = 2;
    return words.size() == name + 1 || (words.size() == name + 2 && IsUnit(words.back()));
}

Table ParseTableHeader(const std::vector<std::string>& words, int line) {
    Table table;
    table.line = line;
    std::size_t next = 1;
    if (next < words.size() && EqualsNoCase(words[next], "horizon")) {
        table.horizon = true;
        ++next;
    }
    if (next < words.size())
        table.name = words[next++];
    if (next < words.size() && IsUnit(words[next]))
        table.unit = words[next].substr(1, words[next].size() - 2);
    return table;
}

} // namespace

InputFile InputFile::Read(const std::filesystem::path& path, Issues& issues) {
    return Parse(path.filename().string(), ReadLines(path), issues);
}

InputFile InputFile::Parse(const std::string& fileName, const std::vector<std::string>& lines,
                           Issues& issues) {
    InputFile file;
    file.fileName_ = fileName;
    std::optional<Table> open;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const std::string text = Trim(WithoutComment(lines[i]));
        if (IsCommentOrEmpty(Trim(lines[i])) || text.empty())
            continue;
        const std::vector<std::string> words = SplitWords(text);
        const bool isEnd = EqualsNoCase(words.front(), "end_table");
        const bool isStart = IsTableHeader(words);
        if (open && isEnd) {
            file.AddTable(std::move(*open), issues);
            open.reset();
        } else if (open && isStart) {
            issues.AddAt(fileName, number,
                         "table " + open->name + " (line " + std::to_string(open->line) +
                             ") has no end_table before the next table");
            file.AddTable(std::move(*open), issues);
            open = ParseTableHeader(words, number);
        } else if (open) {
            open->rows.push_back(TableRow{words, number});
        } else if (isStart) {
            open = ParseTableHeader(words, number);
            if (open->name.empty())
                issues.AddAt(fileName, number, "table without a name");
        } else if (isEnd) {
            issues.AddAt(fileName, number, "end_table without a table");
        } else {
            file.AddKeyword(ParseKeywordLine(text, number), issues);
        }
    }
    if (open) {
        issues.AddAt(fileName, open->line, "table " + open->name + " has no end_table");
        file.AddTable(std::move(*open), issues);
    }
    return file;
}

void InputFile::AddKeyword(KeywordLine keyword, Issues& issues) {
    const std::string key = Lower(keyword.keyword);
    const auto found = keywords_.find(key);
    if (found == keywords_.end()) {
        keywords_.emplace(key, std::move(keyword));
    } else if (found->second.value != keyword.value) {
        // The same compound reached twice repeats its lines; only a contradiction is a fault.
        issues.AddAt(fileName_, keyword.line,
                     keyword.keyword + " is given again with another value (first on line " +
                         std::to_string(found->second.line) + ")");
    }
}

void InputFile::AddTable(Table table, Issues& issues) {
    if (table.name.empty())
        return;
    const std::string key = Lower(table.name);
    if (tables_.count(key) != 0) {
        issues.AddAt(fileName_, table.line,
                     "table " + table.name + " is given again (first on line " +
                         std::to_string(tables_.at(key).line) + ")");
        return;
    }
    tables_.emplace(key, std::move(table));
}

const KeywordLine* InputFile::Find(const std::string& keyword) const {
    const auto found = keywords_.find(Lower(keyword));
    return found == keywords_.end() ? nullptr : &found->second;
}

const Table* InputFile::FindTable(const std::string& name) const {
    const auto found = tables_.find(Lower(name));
    return found == tables_.end() ? nullptr : &found->second;
}

std::optional<std::string> InputFile::RequireText(const std::string& keyword,
                                                  Issues& issues) const {
    const KeywordLine* line = Find(keyword);
    if (line == nullptr) {
        issues.Add(fileName_ + ": keyword " + keyword + " is missing");
        return std::nullopt;
    }
    if (line->value.empty()) {
        issues.AddAt(fileName_, line->line, keyword + " has no value");
        return std::nullopt;
    }
    return line->value;
}

std::optional<double> InputFile::RequireNumber(const std::string& keyword, Range range,
                                               Issues& issues) const {
    const auto text = RequireText(keyword, issues);
    if (!text)
        return std::nullopt;
    return CheckNumber(keyword, *text, Find(keyword)->line, range, issues);
}

std::optional<double> InputFile::CheckNumber(const std::string& what, const std::string& text,
                                             int line, Range range, Issues& issues) const {
    const auto value = ParseNumber(text);
    if (!value) {
        issues.AddAt(fileName_, line, what + ": \"" + text + "\" is not a number");
        return std::nullopt;
    }
    const bool aboveLow = range.lowIncluded ? *value >= range.low : *value > range.low;
    if (!aboveLow || *value > range.high) {
        const std::string low = Printf("%g", range.low);
        const std::string high = Printf("%g", range.high);
        std::string bounds = range.high >= 1e300
                                 ? (range.lowIncluded ? "at least " : "greater than ") + low
                                 : "between " + low + " and " + high;
        issues.AddAt(fileName_, line, what + ": " + text + " is not " + bounds);
        return std::nullopt;
    }
    return value;
}

std::optional<Day> InputFile::RequireDate(const std::string& keyword, Issues& issues) const {
    const auto text = RequireText(keyword, issues);
    if (!text)
        return std::nullopt;
    const auto day = ParseDate(*text);
    if (!day)
        issues.AddAt(fileName_, Find(keyword)->line,
                     keyword + ": \"" + *text + "\" is not a date like 01-Jan-1990");
    return day;
}

std::optional<bool> InputFile::RequireYesNo(const std::string& keyword, Issues& issues) const {
    const auto text = RequireText(keyword, issues);
    if (!text)
        return std::nullopt;
    if (EqualsNoCase(*text, "yes") || EqualsNoCase(*text, "true"))
        return true;
    if (EqualsNoCase(*text, "no") || EqualsNoCase(*text, "false"))
        return false;
    issues.AddAt(fileName_, Find(keyword)->line, keyword + ": \"" + *text + "\" is not Yes or No");
    return std::nullopt;
}

std::optional<bool> InputFile::OptionalYesNo(const std::string& keyword, bool absent,
                                             Issues& issues) const {
    return Find(keyword) == nullptr ? std::optional<bool>(absent) : RequireYesNo(keyword, issues);
}

const Table* InputFile::RequireTable(const std::string& name, Issues& issues) const {
    const Table* table = FindTable(name);
    if (table == nullptr)
        issues.Add(fileName_ + ": table " + name + " is missing");
    return table;
}

} // namespace parvela::models
