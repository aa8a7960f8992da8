#include "framework/odbc/ConnectionOptions.h"

#include "framework/Enclosed.h"
#include "framework/odbc/AsciiText.h"

#include <charconv>
#include <string_view>

namespace parvela::odbc {

namespace {

template <class Number> Number ParseNumber(std::string_view text, Number fallback) {
    Number value{};
    text = Trimmed(text);
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : fallback;
}

// Splits "a=1;b=2" into its pairs; a brace-enclosed value may hold ";" ("{...}").
template <class Visit> void ForEachPair(std::string_view text, char separator, Visit visit) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        bool braced = false;
        while (end < text.size() && (braced || text[end] != separator)) {
            if (text[end] == '{')
                braced = true;
            else if (text[end] == '}')
                braced = false;
            ++end;
        }
        const std::string_view pair = text.substr(at, end - at);
        const std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos)
            visit(Trimmed(pair.substr(0, equals)), pair.substr(equals + 1));
        at = end + 1;
    }
}

void ApplyCustomOption(ConnectionOptions& options, std::string_view key, std::string_view value) {
    const std::string name = AsciiLower(key);
    if (name == "conetpacketsize")
        options.PacketSize = ParseNumber<unsigned>(value, 0);
    else if (name == "coblobchunksize")
        options.BlobChunkSize = ParseNumber<std::size_t>(value, options.BlobChunkSize);
    // coLockMode has no ODBC counterpart: row locking is the database's own business.
}

// Values with ";" or braces are enclosed in braces, as ODBC connection strings require.
std::string QuotedValue(const std::string& value) {
    if (value.find_first_of(";{}") == std::string::npos && value == Trimmed(value))
        return value;
    return Enclosed(value, '{', '}');
}

} // namespace

ConnectionOptions ConnectionOptions::FromParams(const std::vector<std::string>& lines) {
    ConnectionOptions options;
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string name = AsciiLower(line.substr(0, equals));
        const std::string value = line.substr(equals + 1);
        if (name == "database")
            options.Database = value;
        else if (name == "user_name")
            options.UserName = value;
        else if (name == "password")
            options.Password = value;
        else if (name == "blobsize")
            options.BlobSize = ParseNumber<long long>(value, -1);
        else if (name == "trim char")
            options.TrimChar = AsciiLower(Trimmed(value)) == "true";
        else if (name == "custom string")
            ForEachPair(value, ';', [&](std::string_view key, std::string_view text) {
                ApplyCustomOption(options, key, text);
            });
        // DriverName names the Windows driver library; RowsetSize does not apply to a
        // forward reader that fetches one row at a time.
    }
    return options;
}

std::string BuildConnectionString(const std::string& database, const std::string& userName,
                                  const std::string& password) {
    std::string text =
        database.find('=') == std::string::npos ? "DSN=" + QuotedValue(database) : database;
    auto append = [&text](const char* key, const std::string& value) {
        if (value.empty())
            return;
        if (!text.empty() && text.back() != ';')
            text += ';';
        text += key;
        text += '=';
        text += QuotedValue(value);
    };
    append("UID", userName);
    append("PWD", password);
    return text;
}

std::optional<std::string> ConnectionStringValue(const std::string& connectionString,
                                                 const std::string& key) {
    std::optional<std::string> found;
    const std::string wanted = AsciiLower(key);
    ForEachPair(connectionString, ';', [&](std::string_view name, std::string_view value) {
        if (!found && AsciiLower(name) == wanted)
            found = std::string(Trimmed(value));
    });
    return found;
}

} // namespace parvela::odbc
