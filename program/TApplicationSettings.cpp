#include "TApplicationSettings.h"

#include "platform/ExecutablePath.h"

#include <ini.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

namespace parvela {

namespace {

constexpr const char* DatabaseSection = "Database";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Values of one section, keyed by the lower-case key name; the first occurrence counts.
struct SectionReader {
    std::string section;
    std::map<std::string, std::string> values;
};

int CollectValue(void* user, const char* section, const char* name, const char* value) {
    auto* reader = static_cast<SectionReader*>(user);
    if (Lower(section) == reader->section)
        reader->values.emplace(Lower(name), value ? value : "");
    return 1;
}

// A value in double quotes stands for the text between them.
std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

std::string TApplicationSettings::SettingsFileName() {
    return ExecutablePathWithExtension(".ini");
}

TApplicationSettings::TApplicationSettings() : TApplicationSettings(SettingsFileName()) {}

TApplicationSettings::TApplicationSettings(const std::string& fileName) {
    if (!std::filesystem::is_regular_file(fileName))
        throw Exception(Format("File \"%s\" not found", fileName));
    SectionReader reader{Lower(DatabaseSection), {}};
    if (ini_parse(fileName.c_str(), CollectValue, &reader) < 0)
        throw Exception(Format("File \"%s\" not found", fileName));
    auto read = [&](const char* key, std::string& field) {
        auto it = reader.values.find(Lower(key));
        Assert(it != reader.values.end(),
               Format("Ini file variable %s in section %s not found", key, DatabaseSection));
        field = Unquoted(it->second);
    };
    read("DatabaseName", databaseName_);
    read("UserName", userName_);
    read("Password", password_);
}

} // namespace parvela
