#pragma once
// One open-able query over a table definition: filter conditions, a forward row cursor and
// the current row's columns by name. Each table has one subclass:
//
//   class TrsX : public TDACRecordSet {
//   public:
//       static constexpr const char* ClassName = "TrsX";
//       static TDACRecordSetDefs& RecordSetDefs() { return TrsdX::GetSingleton(); }
//       explicit TrsX(TDACDatabase* database)
//           : TDACRecordSet(ClassName, RecordSetDefs(), database, false, {"*"}) {}
//       const char* GetClassName() const override { return ClassName; }
//       std::string CAPTION() const { return ReadString("CAPTION"); }
//   };

#include "framework/TDACDatabase.h"
#include "framework/TDACRecordSetDefs.h"
#include "framework/TDACSQLGenerator.h"

#include <memory>
#include <string>
#include <vector>

namespace parvela {

class TDACRecordSet {
public:
    // `columns` {"*"} selects every defined column; otherwise the named ones, in order.
    TDACRecordSet(const char* className, TDACRecordSetDefs& definitions, TDACDatabase* database,
                  bool inMemoryCopy, const std::vector<std::string>& columns);
    virtual ~TDACRecordSet();
    TDACRecordSet(const TDACRecordSet&) = delete;
    TDACRecordSet& operator=(const TDACRecordSet&) = delete;

    // The class name in the messages.
    virtual const char* GetClassName() const = 0;

    void Open();
    void Close();
    bool IsOpen() const { return open_; }
    bool HasRecords() const { return hasRecords_; }
    bool Eof() const;
    void Next();
    TDACField Value(const std::string& columnName) const;
    void FilterAdd(const std::string& format, const TVarRecArray& arguments);
    void CheckOpen() const;

    TDACRecordSetDefs& Definitions() const { return definitions_; }
    TDACDatabase& Database() const { return database_; }
    const std::vector<std::string>& SelectExpressions() const { return selectExpressions_; }
    // The statement the next Open executes.
    std::string SQLText() const { return generator_.SQLText(); }

    // Typed readers of the current row, by the program's value conventions: NULL gives the
    // missing integer or real; text-stored booleans go through the database's StrToBoolean.
    std::string ReadString(const std::string& columnName) const;
    std::int32_t ReadInteger(const std::string& columnName) const;
    std::int32_t ReadIntegerNullAsZero(const std::string& columnName) const;
    double ReadFloat(const std::string& columnName) const;
    TDateTime ReadDateTime(const std::string& columnName) const;
    bool ReadTextBoolean(const std::string& columnName) const;
    bool ReadBoolean(const std::string& columnName) const;

private:
    static TDACDatabase& CheckedDatabase(const char* className, TDACDatabase* database);
    std::vector<int> SelectedColumns(const char* className,
                                     const std::vector<std::string>& columns) const;
    void BuildGenerator(const std::vector<int>& selected);
    TDACField CheckedValue(const std::string& columnName) const;

    TDACDatabase& database_;
    TDACRecordSetDefs& definitions_;
    bool inMemoryCopy_;
    std::vector<std::string> selectExpressions_;
    TDACSQLGenerator generator_;
    std::unique_ptr<TDACQuery> query_;
    bool open_ = false;
    bool hasRecords_ = false;
};

} // namespace parvela
