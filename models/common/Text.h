// Text helpers shared by the model programs: words, numbers, files with either line end.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace parvela::models {

// A file that cannot be opened or read; the programs end with a non-zero exit code on it.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string Trim(std::string_view text);
std::string Lower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::vector<std::string> SplitWords(std::string_view text);

// A whole token as a finite number, "." as decimal separator whatever the locale.
std::optional<double> ParseNumber(std::string_view text);

// printf-style formatting; the programs never change the C locale, so "." is the separator.
std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The lines of a text file, split at "\n" with a trailing "\r" removed.
std::vector<std::string> ReadLines(const std::filesystem::path& path);

// Collects lines and saves them with "\r\n" after every line, the last one included.
class TextFile {
public:
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    void Save(const std::filesystem::path& path) const;

private:
    std::vector<std::string> lines_;
};

// An empty file, such as an ok flag.
void TouchFile(const std::filesystem::path& path);

} // namespace parvela::models
