#pragma once
// What the access layer takes from the database object's connection parameter lines
// ("Name=Value"). Lines and options the ODBC drivers have no use for are ignored.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace parvela::odbc {

struct ConnectionOptions {
    // "Database": a data source name, or a full connection string when it holds "=".
    std::string Database;
    std::string UserName;
    std::string Password;
    // "coNetPacketSize" of the custom string; 0 leaves the driver's default.
    unsigned PacketSize = 0;
    // "coBlobChunkSize": bytes fetched per call while a long value is read.
    std::size_t BlobChunkSize = 40960;
    // "BlobSize": the longest long value read in bytes; -1 means no limit.
    long long BlobSize = -1;
    // "Trim Char": strip trailing blanks of character values.
    bool TrimChar = false;

    static ConnectionOptions FromParams(const std::vector<std::string>& lines);
};

// The connection string for SQLDriverConnect: a data source name becomes "DSN=<name>", a text
// with "=" is taken as it stands; non-empty user and password are added as UID and PWD.
std::string BuildConnectionString(const std::string& database, const std::string& userName,
                                  const std::string& password);

// The value of a keyword in a connection string, ignoring letter case.
std::optional<std::string> ConnectionStringValue(const std::string& connectionString,
                                                 const std::string& key);

} // namespace parvela::odbc
