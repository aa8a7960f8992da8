#include "TApplicationSettings.h"

#include "platform/ExecutablePath.h"
#include "platform/RegistryDocument.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace parvela {

namespace {

constexpr const char* DatabaseSection = "Database";

std::string ReadWholeFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw Exception(Format("File \"%s\" not found", fileName));
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

// The value as written: a quoted text stands for the text between the quotes, anything
// else for itself (lines of any length; ";" inside a value belongs to it).
std::string TextOf(const TRegistryValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* raw = std::get_if<TMalformedRegistryValue>(&value))
        return raw->Text;
    return std::to_string(std::get<std::int32_t>(value));
}

} // namespace

std::string TApplicationSettings::SettingsFileName() {
    return ExecutablePathWithExtension(".ini");
}

TApplicationSettings::TApplicationSettings() : TApplicationSettings(SettingsFileName()) {}

TApplicationSettings::TApplicationSettings(const std::string& fileName) {
    if (!std::filesystem::is_regular_file(fileName))
        throw Exception(Format("File \"%s\" not found", fileName));
    // Section and key names are matched without regard to case; the first key counts.
    TRegistryDocument document = TRegistryDocument::Parse(ReadWholeFile(fileName));
    auto read = [&](const char* key, std::string& field) {
        const TRegistryValue* value = document.Find(DatabaseSection, key);
        Assert(value != nullptr,
               Format("Ini file variable %s in section %s not found", key, DatabaseSection));
        field = TextOf(*value);
    };
    read("DatabaseName", databaseName_);
    read("UserName", userName_);
    read("Password", password_);
}

} // namespace parvela
