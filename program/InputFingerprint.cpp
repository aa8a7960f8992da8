#include "InputFingerprint.h"

#include "FileDigest.h"
#include "framework/Format.h"
#include "framework/TDACDatabase.h"
#include "framework/odbc/Connection.h"

#include <string>

namespace parvela {

namespace {

// Column texts in column order, each with its name; a NULL is marked apart from any text.
void AppendRows(TDACDatabase& database, const std::string& sql, std::string& text) {
    const auto query = database.OpenQuery(sql);
    text += sql + "\n";
    for (; !query->Eof(); query->Next()) {
        for (int i = 0; i < query->FieldCount(); ++i) {
            const std::string name = query->FieldName(i);
            const TDACField field = query->FieldByName(name);
            text += name + (field.IsNull() ? std::string("\x01") : "=" + field.AsString()) + "\x1F";
        }
        text += "\x1E";
    }
}

std::string FingerprintOf(TDACDatabase& database, int assessmentID,
                          const std::string& substanceChecksum) {
    const std::string assessment = Format("ASSESSMENTID = %d", assessmentID);
    std::string text;
    AppendRows(database,
               "SELECT ASSESSMENTID, PROJECTID, CAPTION, SCENARIOID, SUBSTANCEGUID, "
               "APPLICATIONSCHEMEID FROM ASSESSMENTS WHERE " +
                   assessment,
               text);
    const std::string scenario = "(SELECT SCENARIOID FROM ASSESSMENTS WHERE " + assessment + ")";
    const std::string scheme =
        "(SELECT APPLICATIONSCHEMEID FROM ASSESSMENTS WHERE " + assessment + ")";
    // The scenario's long texts (templates, weather, ponding, rain) as a server that can
    // digest them sends them: their digests, not the texts, cross the network.
    const bool digestOnServer = database.Connection().IsPostgreSQL();
    std::string scenarioColumns = "SCENARIOID, CAPTION, DESCRIPTION, STARTYEAR, ENDYEAR";
    for (const char* column : {"GLIDAR_data", "MUNDRE_data", "GLIDAR_meteo", "MUNDRE_meteo",
                               "GLIDAR_pond", "MUNDRE_rain"})
        scenarioColumns +=
            digestOnServer ? Format(", MD5(%s) AS %s", column, column) : std::string(", ") + column;
    AppendRows(database,
               "SELECT " + scenarioColumns + " FROM SCENARIOS WHERE SCENARIOID = " + scenario,
               text);
    AppendRows(database,
               "SELECT * FROM Interceptions WHERE ScenarioID = " + scenario +
                   " ORDER BY InterceptionID",
               text);
    AppendRows(database,
               "SELECT APPLICATIONSCHEMEID, CAPTION FROM APPLICATIONSCHEMES WHERE "
               "APPLICATIONSCHEMEID = " +
                   scheme,
               text);
    AppendRows(database,
               "SELECT * FROM APPLICATIONS WHERE APPLICATIONSCHEMEID = " + scheme +
                   " ORDER BY APPLICATIONID",
               text);
    AppendRows(database,
               "SELECT * FROM APPLICATIONTYPES WHERE APPLICATIONTYPEID IN (SELECT "
               "APPLICATIONTYPEID FROM APPLICATIONS WHERE APPLICATIONSCHEMEID = " +
                   scheme + ") ORDER BY APPLICATIONTYPEID",
               text);
    text += "substance checksum=" + substanceChecksum;
    return TextSha256(text);
}

} // namespace

TInputFingerprint::TInputFingerprint(TDACDatabase& database, int assessmentID,
                                     std::string substanceChecksum)
    : database_(database), assessmentID_(assessmentID),
      substanceChecksum_(std::move(substanceChecksum)), changesByOthers_(ChangesByOthers()),
      digest_(Digest(substanceChecksum_)) {}

bool TInputFingerprint::Held(const std::string& substanceChecksum) const {
    if (substanceChecksum != substanceChecksum_)
        return false;
    // Reading the scenario's long texts again costs more than the models of a short run.
    if (changesByOthers_ && ChangesByOthers() == changesByOthers_)
        return true;
    return Digest(substanceChecksum) == digest_;
}

std::string TInputFingerprint::Digest(const std::string& substanceChecksum) const {
    return FingerprintOf(database_, assessmentID_, substanceChecksum);
}

std::optional<std::int64_t> TInputFingerprint::ChangesByOthers() const {
    if (!database_.Connection().IsSQLite())
        return std::nullopt;
    return database_.OpenQuery("PRAGMA data_version")
        ->FieldByName("data_version")
        .AsVariant()
        .AsInteger();
}

} // namespace parvela
