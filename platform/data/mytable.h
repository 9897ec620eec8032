#pragma once

#include "platform/data/mydataset.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A value to write: text in its 8-bit form, or NULL (std::nullopt).
using TMyValue = std::optional<AnsiString>;
// Values to write, by field name (letter case ignored).
using TMyValues = std::vector<std::pair<String, TMyValue>>;

// One change of a table's rows, for a view that shows them. Every change is reported twice:
// just before the rows in memory change (done false) and right after (done true).
struct TMyTableChange {
    enum Kind { Reset, Insert, Update, Delete };
    Kind kind;
    int row; // the row concerned; -1 for Reset
    bool done;
};

// All rows and columns of one table. After Open the rows are kept in memory and read by row
// number (0-based) or through the cursor. A row is inserted, changed or deleted on the
// server at once and found there by its primary key, which the result's field flags name;
// values travel as literals made by the connection's escaping. When the server refuses, the
// EMyError passes out and the rows in memory stay as they were.
class TMyTable : public TMyDataSet {
public:
    explicit TMyTable(TComponent* owner = nullptr) : TMyDataSet(owner) {}

    String TableName;

    // Opening an open table changes nothing; closing a closed one neither.
    void Open() override;
    void Close() override;
    // Reads every row anew; the cursor goes to the first.
    void Refresh();

    int RecordCount() const override { return static_cast<int>(rows_.size()); }
    bool Eof() const override { return recNo_ >= RecordCount(); }
    void Next() override;
    void First() override { recNo_ = 0; }
    // The cursor's row; RecordCount() past the last.
    int RecNo() const { return recNo_; }
    void SetRecNo(int row);
    // Fields of the cursor's row: 0 or the empty text past the last.
    TField Fields(int index) const override;

    // Fields of any row.
    TField Cell(int row, int column) const;
    TField Cell(int row, const String& name) const;

    // Inserts one row with the given values (the others take the server's defaults) and
    // appends it as the server holds it, its auto-increment key included. Returns its row
    // number; the cursor stands on it.
    int InsertRow(const TMyValues& values);
    // Writes the values into the row and reads it back. A row that the server no longer
    // holds is dropped and reported as an error.
    void UpdateRow(int row, const TMyValues& values);
    void DeleteRow(int row);

    using Listener = std::function<void(const TMyTableChange&)>;
    // Returns an id for RemoveListener.
    int AddListener(Listener listener);
    void RemoveListener(int id);

protected:
    std::string SelectText() override;

private:
    using Row = std::vector<std::optional<std::string>>;
    struct Column {
        std::string name;
        enum_field_types type;
        bool key;
        bool autoIncrement;
    };

    void checkEditable() const;
    void checkRow(int row) const;
    int column(const String& name) const;
    std::string where(const Row& key);
    std::optional<Row> readRow(const Row& key);
    void load(MYSQL_RES* result);
    void notify(TMyTableChange::Kind kind, int row, bool done);

    std::vector<Column> columns_;
    std::vector<Row> rows_;
    int recNo_ = 0;
    std::vector<std::pair<int, Listener>> listeners_;
    int lastListener_ = 0;
};
