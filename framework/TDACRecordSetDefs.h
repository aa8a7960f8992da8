#pragma once
// The description of one table for the whole program: its columns, the tables read from and
// written to, fixed WHERE and GROUP BY texts and the key column. Each table has one
// subclass, a lazy singleton that adds the columns in its constructor:
//
//   class TrsdX : public TDACRecordSetDefs, public TSingleton<TrsdX, SingletonKind::Lazy> {
//   public:
//       static constexpr const char* ClassName = "TrsdX";
//   private:
//       friend class TSingleton<TrsdX, SingletonKind::Lazy>;
//       TrsdX() { Add("XID", ftInteger, TDACFieldOrigin::foPersistent); ... }
//   };

#include "framework/TDACFieldOrigin.h"

#include <string>
#include <vector>

namespace parvela {

// The field types of the database access layer.
enum TFieldType { ftUnknown, ftString, ftInteger, ftBoolean, ftFloat, ftDateTime };

const char* FieldTypeName(TFieldType type);

class TDACRecordSetDefs {
public:
    virtual ~TDACRecordSetDefs() = default;

    virtual void Add(const std::string& name, TFieldType fieldType, TDACFieldOrigin origin);
    virtual void AddExpressionField(const std::string& name, TFieldType fieldType,
                                    const std::string& expression);

    // Lookups by column index; the overloads below take a column name.
    virtual std::string FieldName(int index) const;
    virtual std::string FieldExpression(int index) const;
    virtual bool IsExpression(int index) const;
    virtual TFieldType FieldType(int index) const;
    virtual TDACFieldOrigin FieldOrigin(int index) const;

    std::string FieldName(const std::string& name) const { return FieldName(IndexOf(name)); }
    std::string FieldExpression(const std::string& name) const {
        return FieldExpression(IndexOf(name));
    }
    bool IsExpression(const std::string& name) const { return IsExpression(IndexOf(name)); }
    TFieldType FieldType(const std::string& name) const { return FieldType(IndexOf(name)); }
    TDACFieldOrigin FieldOrigin(const std::string& name) const {
        return FieldOrigin(IndexOf(name));
    }

    virtual std::string FromTable() const = 0;
    virtual std::string UpdateTable() const = 0;
    virtual std::string FixedWhere() const = 0;
    virtual std::string FixedGroupBy() const = 0;
    virtual std::string KeyField() const = 0;

    // The first column of that name, ignoring letter case.
    int IndexOf(const std::string& name) const;
    int IndexOf(const char* name) const { return IndexOf(std::string(name)); }
    // The index itself when it names a column.
    int IndexOf(int index) const;

    int FieldCount() const { return static_cast<int>(columns_.size()); }

private:
    struct Column {
        std::string name;
        std::string expression;
        bool isExpression = false;
        TFieldType fieldType = ftUnknown;
        TDACFieldOrigin origin = TDACFieldOrigin::foPersistent;
    };
    const Column& ColumnAt(int index) const { return columns_[IndexOf(index)]; }

    std::vector<Column> columns_;
};

} // namespace parvela
