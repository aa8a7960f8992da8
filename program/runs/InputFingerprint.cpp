#include "program/runs/InputFingerprint.h"

#include "framework/Format.h"
#include "framework/TDACDatabase.h"
#include "framework/odbc/Connection.h"
#include "program/system/FileDigest.h"

#include <string>
#include <vector>

namespace parvela {

namespace {

// A set of rows that the input writers read, in a fixed order.
struct TRowSet {
    std::string Columns;
    std::string Table;
    std::string Condition;
    std::string Order;
};

std::vector<TRowSet> InputRows(int assessmentID) {
    const std::string assessment = Format("ASSESSMENTID = %d", assessmentID);
    const std::string scenario = "(SELECT SCENARIOID FROM ASSESSMENTS WHERE " + assessment + ")";
    const std::string scheme =
        "(SELECT APPLICATIONSCHEMEID FROM ASSESSMENTS WHERE " + assessment + ")";
    return {
        {"ASSESSMENTID, PROJECTID, CAPTION, SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID",
         "ASSESSMENTS", assessment, "ASSESSMENTID"},
        {"*", "SCENARIOS", "SCENARIOID = " + scenario, "SCENARIOID"},
        {"*", "Interceptions", "ScenarioID = " + scenario, "InterceptionID"},
        {"APPLICATIONSCHEMEID, CAPTION", "APPLICATIONSCHEMES", "APPLICATIONSCHEMEID = " + scheme,
         "APPLICATIONSCHEMEID"},
        {"*", "APPLICATIONS", "APPLICATIONSCHEMEID = " + scheme, "APPLICATIONID"},
        {"*", "APPLICATIONTYPES",
         "APPLICATIONTYPEID IN (SELECT APPLICATIONTYPEID FROM APPLICATIONS WHERE "
         "APPLICATIONSCHEMEID = " +
             scheme + ")",
         "APPLICATIONTYPEID"},
    };
}

// Column texts in column order, each with its name; a NULL is marked apart from any text.
void AppendRows(TDACDatabase& database, const TRowSet& rows, std::string& text) {
    const std::string sql = "SELECT " + rows.Columns + " FROM " + rows.Table + " T WHERE " +
                            rows.Condition + " ORDER BY " + rows.Order;
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

// The rows read and joined here, one statement each.
std::string ReadHere(TDACDatabase& database, int assessmentID) {
    std::string text;
    for (const TRowSet& rows : InputRows(assessmentID))
        AppendRows(database, rows, text);
    return text;
}

// The digest of the rows as the server makes it in one statement, so that only the digest
// crosses the network. The assessment's own row is taken by its input columns, since the run
// itself writes its results into it; every other row by its key and its row version (XMIN),
// which the server renews with every change, also one changed back, without the scenario's
// long texts being read at all.
std::string DigestOnServer(TDACDatabase& database, int assessmentID) {
    std::string parts;
    for (const TRowSet& rows : InputRows(assessmentID)) {
        const std::string row = rows.Table == "ASSESSMENTS" ? "ROW(" + rows.Columns + ")"
                                                            : "ROW(T." + rows.Order + ", T.XMIN)";
        parts += (parts.empty() ? "" : " || CHR(29) || ") +
                 Format("COALESCE((SELECT STRING_AGG(CAST(%s AS TEXT), CHR(30) ORDER BY %s) "
                        "FROM %s T WHERE %s), CHR(1))",
                        row, rows.Order, rows.Table, rows.Condition);
    }
    return database.OpenQuery("SELECT MD5(" + parts + ") AS DIGEST")
        ->FieldByName("DIGEST")
        .AsString();
}

std::string FingerprintOf(TDACDatabase& database, int assessmentID,
                          const std::string& substanceChecksum) {
    const std::string rows = database.Connection().IsPostgreSQL()
                                 ? DigestOnServer(database, assessmentID)
                                 : ReadHere(database, assessmentID);
    return TextSha256(rows + "\nsubstance checksum=" + substanceChecksum);
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
