#include "InputFingerprint.h"

#include "FileDigest.h"
#include "framework/Format.h"
#include "framework/TDACDatabase.h"

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

} // namespace

std::string InputFingerprint(TDACDatabase& database, int assessmentID,
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
    AppendRows(database, "SELECT * FROM SCENARIOS WHERE SCENARIOID = " + scenario, text);
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

} // namespace parvela
