#pragma once
// The one description of each entity table: its name, its key and its columns after the key,
// in table order. Everything else about the four classes of an entity is generated from it
// (UnitsFromGenerator/EntityPattern.h).
//
//   X(COLUMN, definition type, item type, record-set reader, use, setter, new-row value)
//
// definition type: the field type of the record-set definition (text-stored booleans are
//                  ftString there and ftBoolean in the item).
// reader:          the record set's typed reader, which carries the NULL convention.
// use:             WrittenAndCompared, Written (handed to the saver, not compared) or
//                  ReadOnly (neither).
// setter:          Yes or No.
// new-row value:   an expression in the item constructor, where `owner` is the item's list
//                  and `now` the moment of creation.
//
// SORT_COLUMNS: the definition index (0 is the key) of each sort index, in sort-index order.

#define PARVELA_Projects_TABLE PROJECTS
#define PARVELA_Projects_KEY PROJECTID
#define PARVELA_Projects_SORT_COLUMNS 0, 1, 2, 3, 4, 5, 6, 7
#define PARVELA_Projects_COLUMNS(X)                                                                \
    X(CAPTION, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())             \
    X(DESCRIPTION, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())         \
    X(CREATIONDATE, ftDateTime, ftDateTime, ReadDateTime, WrittenAndCompared, Yes, now)            \
    X(MODIFICATIONDATE, ftDateTime, ftDateTime, ReadDateTime, WrittenAndCompared, Yes, now)        \
    X(BUSY, ftString, ftBoolean, ReadTextBoolean, WrittenAndCompared, Yes, false)                  \
    X(COMMENT, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())             \
    X(LOCKED, ftString, ftBoolean, ReadTextBoolean, Written, Yes, false)

#define PARVELA_Assessments_TABLE ASSESSMENTS
#define PARVELA_Assessments_KEY ASSESSMENTID
#define PARVELA_Assessments_SORT_COLUMNS 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14
#define PARVELA_Assessments_COLUMNS(X)                                                             \
    X(CAPTION, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())             \
    X(DESCRIPTION, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())         \
    X(PROJECTID, ftInteger, ftInteger, ReadInteger, WrittenAndCompared, Yes,                       \
      owner->ProjectIDForNewItem())                                                                \
    X(SCENARIOID, ftInteger, ftInteger, ReadInteger, WrittenAndCompared, Yes,                      \
      owner->ScenarioIDForNewItem())                                                               \
    X(SUBSTANCEGUID, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string("99"))   \
    X(APPLICATIONSCHEMEID, ftInteger, ftInteger, ReadInteger, WrittenAndCompared, Yes,             \
      owner->ApplicationSchemeIDForNewItem())                                                      \
    X(SUBSTANCECHECKSUM, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())   \
    X(SELECTEDFOREXECUTION, ftString, ftBoolean, ReadTextBoolean, WrittenAndCompared, Yes, false)  \
    X(ERRORMESSAGE, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())        \
    X(ASSESSMENTREPORT, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())    \
    X(VALIDRESULTS, ftBoolean, ftBoolean, ReadBoolean, WrittenAndCompared, Yes, false)             \
    X(CREATIONDATE, ftDateTime, ftDateTime, ReadDateTime, WrittenAndCompared, Yes, now)            \
    X(MODIFICATIONDATE, ftDateTime, ftDateTime, ReadDateTime, WrittenAndCompared, Yes, now)        \
    X(COMMENT, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())

// Scenarios sort on the key, caption, description and the first four data columns only:
// sort indexes 0..6 are these definition indexes.
#define PARVELA_Scenarios_TABLE SCENARIOS
#define PARVELA_Scenarios_KEY SCENARIOID
#define PARVELA_Scenarios_SORT_COLUMNS 0, 1, 2, 5, 6, 7, 8
#define PARVELA_Scenarios_COLUMNS(X)                                                               \
    X(CAPTION, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())             \
    X(DESCRIPTION, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())         \
    X(STARTYEAR, ftInteger, ftInteger, ReadIntegerNullAsZero, WrittenAndCompared, Yes, 0)          \
    X(ENDYEAR, ftInteger, ftInteger, ReadIntegerNullAsZero, WrittenAndCompared, No, 0)             \
    X(GLIDAR_data, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())         \
    X(MUNDRE_data, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())         \
    X(GLIDAR_meteo, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())        \
    X(MUNDRE_meteo, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())        \
    X(GLIDAR_pond, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())         \
    X(MUNDRE_rain, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())

// LOCKED of a scheme is read but never written: a new row gets the database default.
#define PARVELA_ApplicationSchemes_TABLE APPLICATIONSCHEMES
#define PARVELA_ApplicationSchemes_KEY APPLICATIONSCHEMEID
#define PARVELA_ApplicationSchemes_SORT_COLUMNS 0, 1, 2, 3
#define PARVELA_ApplicationSchemes_COLUMNS(X)                                                      \
    X(CAPTION, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())             \
    X(DESCRIPTION, ftString, ftString, ReadString, WrittenAndCompared, Yes, std::string())         \
    X(LOCKED, ftString, ftBoolean, ReadTextBoolean, ReadOnly, Yes, false)

#define PARVELA_Applications_TABLE APPLICATIONS
#define PARVELA_Applications_KEY APPLICATIONID
#define PARVELA_Applications_SORT_COLUMNS 0, 1, 2, 3, 4, 5, 6
#define PARVELA_Applications_COLUMNS(X)                                                            \
    X(APPLICATIONSCHEMEID, ftInteger, ftInteger, ReadInteger, WrittenAndCompared, Yes,             \
      owner->ApplicationSchemeIDForNewItem())                                                      \
    X(APPLICATIONTYPEID, ftInteger, ftInteger, ReadInteger, WrittenAndCompared, Yes,               \
      owner->ApplicationTypeIDForNewItem())                                                        \
    X(APPLICATIONDATE, ftDateTime, ftDateTime, ReadDateTime, WrittenAndCompared, Yes,              \
      InApplicationYear(now))                                                                      \
    X(DOSAGE, ftFloat, ftFloat, ReadFloat, WrittenAndCompared, Yes, 0.0)                           \
    X(APPLICATIONPARAMETER, ftFloat, ftFloat, ReadFloat, WrittenAndCompared, Yes, 0.0)             \
    X(SPRAYDRIFTPERC, ftFloat, ftFloat, ReadFloat, WrittenAndCompared, Yes, 0.0)

// Reference data: no setters.
#define PARVELA_ApplicationTypes_TABLE APPLICATIONTYPES
#define PARVELA_ApplicationTypes_KEY APPLICATIONTYPEID
#define PARVELA_ApplicationTypes_SORT_COLUMNS 0, 1, 2
#define PARVELA_ApplicationTypes_COLUMNS(X)                                                        \
    X(CAPTION, ftString, ftString, ReadString, WrittenAndCompared, No, std::string())              \
    X(GLIDARCODE, ftString, ftString, ReadString, WrittenAndCompared, No, std::string())
