#include "bench/TeamDatabase.h"

#include "framework/Format.h"
#include "framework/TDACDatabase.h"

#include <stdexcept>

namespace parvela::bench {

namespace {

// The first application of each scheme; the key counter of APPLICATIONS ends past the last.
constexpr int FirstNewApplication = 100;
// The delivered scheme 1 is the first scheme; the others are added.
constexpr int FirstNewScheme = 2;

std::string SummaryReport(int key) {
    return Format("GLIDAR  Assessment A_%d@Max. paddy water concentration   12.345 ug/L@"
                  "Max. sediment concentration   0.678 ug/kg@Runoff events   3@@"
                  "MUNDRE  Assessment A_%d@Max. pond water concentration   1.234 ug/L@"
                  "Time-weighted average (21 d)   0.456 ug/L@Spray drift input   0.12 mg/m2",
                  key, key);
}

int SchemeOf(int key) {
    return key == OwnSchemeAssessment ? OwnScheme : 1 + key % (OwnScheme - 1);
}

std::string AssessmentValues(int key, int project, const TSubstance& substance) {
    return Format("(%d, 'A_%d', 'Assessment %d of project %d', %d, %d, '%s', %d, '%s', %s, '', "
                  "'%s', TRUE, '2023-03-01 09:00:00', '2023-03-02 17:30:00', '')",
                  key, key, key, project, project, 1 + key % 2, substance.Guid, SchemeOf(key),
                  substance.Checksum, key % 10 == 0 ? "TRUE" : "FALSE", SummaryReport(key));
}

void AddSchemes(TDACDatabase& database) {
    int application = FirstNewApplication;
    for (int scheme = FirstNewScheme; scheme <= SchemeCount; ++scheme) {
        database.ExecSQL(Format("INSERT INTO APPLICATIONSCHEMES (APPLICATIONSCHEMEID, CAPTION, "
                                "DESCRIPTION, LOCKED) VALUES (%d, 'Scheme_%d', 'Sprays of scheme "
                                "%d', FALSE)",
                                scheme, scheme, scheme));
        std::string values;
        for (int i = 0; i < ApplicationsPerScheme; ++i, ++application)
            values +=
                Format("%s(%d, %d, 1, '2001-%.2d-%.2d 00:00:00', %d.5, 0.25, %d)",
                       i == 0 ? "" : ", ", application, scheme, 4 + i, 1 + scheme % 28, i + 1, i);
        database.ExecSQL("INSERT INTO APPLICATIONS (APPLICATIONID, APPLICATIONSCHEMEID, "
                         "APPLICATIONTYPEID, APPLICATIONDATE, DOSAGE, APPLICATIONPARAMETER, "
                         "SPRAYDRIFTPERC) VALUES " +
                         values);
    }
}

void AddProjects(TDACDatabase& database, const std::vector<TSubstance>& substances) {
    int key = 0;
    for (int project = 1; project <= ProjectCount; ++project) {
        database.ExecSQL(Format("INSERT INTO PROJECTS (PROJECTID, CAPTION, DESCRIPTION, "
                                "CREATIONDATE, MODIFICATIONDATE, BUSY, COMMENT, LOCKED) VALUES "
                                "(%d, 'Project_%d', 'Dossier %d', '2022-01-01 10:00:00', "
                                "'2022-01-02 10:00:00', FALSE, '', FALSE)",
                                project, project, project));
        std::string values;
        for (int i = 0; i < AssessmentsPerProject; ++i) {
            ++key;
            values += (i == 0 ? "" : ", ") +
                      AssessmentValues(key, project, substances[key % substances.size()]);
        }
        database.ExecSQL("INSERT INTO ASSESSMENTS (ASSESSMENTID, CAPTION, DESCRIPTION, "
                         "PROJECTID, SCENARIOID, SUBSTANCEGUID, APPLICATIONSCHEMEID, "
                         "SUBSTANCECHECKSUM, SELECTEDFOREXECUTION, ERRORMESSAGE, "
                         "ASSESSMENTREPORT, VALIDRESULTS, CREATIONDATE, MODIFICATIONDATE, "
                         "COMMENT) VALUES " +
                         values);
    }
}

// A database made with the delivered scenarios holds the example project; the team's
// projects take its keys.
void RemoveDeliveredProjects(TDACDatabase& database) {
    database.ExecSQL("DELETE FROM ASSESSMENTS");
    database.ExecSQL("DELETE FROM PROJECTS");
}

void SetCounters(TDACDatabase& database) {
    const std::pair<const char*, int> counters[] = {
        {"PROJECTS", ProjectCount},
        {"ASSESSMENTS", AssessmentCount},
        {"APPLICATIONSCHEMES", SchemeCount},
        {"APPLICATIONS", FirstNewApplication + (SchemeCount - 1) * ApplicationsPerScheme}};
    for (const auto& [table, highest] : counters) {
        database.ExecSQL(Format("DELETE FROM SYSTABLES WHERE TABLENAME='%s'", table));
        database.ExecSQL(Format("INSERT INTO SYSTABLES VALUES('%s', %d)", table, highest));
    }
}

} // namespace

void FillTeamDatabase(TDACDatabase& database, const std::vector<TSubstance>& substances) {
    if (substances.empty())
        throw std::invalid_argument("FillTeamDatabase: no substances");
    database.StartTransaction(TIsolationLevel::ReadCommitted);
    try {
        RemoveDeliveredProjects(database);
        AddSchemes(database);
        AddProjects(database, substances);
        SetCounters(database);
        database.Commit();
    } catch (...) {
        database.Rollback();
        throw;
    }
}

} // namespace parvela::bench
