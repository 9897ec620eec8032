#pragma once

#include "platform/rtl/datetime.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/stringlist.h"

#include <string>
#include <vector>

class TMyConnection;

enum class TFieldType { ftUnknown, ftInteger, ftFloat, ftString, ftDate, ftDateTime, ftBlob };
enum class TParamType { ptUnknown, ptInput };

// One named parameter of a statement. It is NULL until a typed value is set. Values are
// sent as literals made by the connection's own escaping, never as spliced text.
class TMyParam {
public:
    explicit TMyParam(const String& name) : Name(name) {}

    String Name;

    void SetAsInteger(int value);
    void SetAsAnsiString(const AnsiString& value);
    // Only the day is sent.
    void SetAsDate(TDateTime value);
    // Every parameter is sent as an input value: the kind is taken and not kept.
    void SetParamType(TParamType) {}
    void SetDataType(TFieldType type);
    // The whole stream from its first byte, whatever its position.
    void LoadFromStream(const TMemoryStream& stream, TFieldType type);
    void Clear();

    bool IsNull() const { return null_; }
    TFieldType DataType() const { return type_; }
    int AsInteger() const;
    AnsiString AsAnsiString() const;

    // The value as an SQL literal for the given connection.
    std::string Literal(TMyConnection& connection) const;

private:
    TFieldType type_ = TFieldType::ftUnknown;
    bool null_ = true;
    long long integer_ = 0;
    double float_ = 0.0;
    std::string bytes_;
};

// The parameters of one statement text, one per ":name" outside quotes and comments, in the
// order of the text. A name that stands twice gives two parameters.
class TMyParams {
public:
    int Count() const { return static_cast<int>(params_.size()); }
    TMyParam& operator[](int index);
    // The first parameter of that name, letter case ignored; raises for an unknown name.
    TMyParam* ParamByName(const String& name);
    TMyParam* FindParam(const String& name);

private:
    friend class TMySql;
    std::vector<TMyParam> params_;
};

// The SQL text of a statement component: its lines, its parameters, and the text sent.
class TMySql {
public:
    TStringList SQL;
    TMyParams Params;

    // Brings the parameter list in line with the current lines. Values of parameters whose
    // name stays are kept.
    void Parse();
    // The lines joined with CR LF, every parameter replaced by its value's literal.
    std::string Render(TMyConnection& connection);

private:
    String parsedText_;
    bool parsed_ = false;
    // Pieces of the 8-bit text between the parameters.
    std::vector<std::string> pieces_;
};
