#include "platform/data/myparams.h"

#include "platform/data/myconnection.h"

#include <cmath>
#include <cstdio>

void TMyParam::SetAsInteger(int value)
{
    type_ = TFieldType::ftInteger;
    integer_ = value;
    null_ = false;
}

void TMyParam::SetAsAnsiString(const AnsiString& value)
{
    type_ = TFieldType::ftString;
    bytes_ = value.bytes();
    null_ = false;
}

void TMyParam::SetAsDate(TDateTime value)
{
    type_ = TFieldType::ftDate;
    float_ = value.Val;
    null_ = false;
}

void TMyParam::SetDataType(TFieldType type)
{
    type_ = type;
}

void TMyParam::LoadFromStream(const TMemoryStream& stream, TFieldType type)
{
    type_ = type;
    bytes_ = stream.Bytes();
    null_ = false;
}

void TMyParam::Clear()
{
    null_ = true;
    bytes_.clear();
}

int TMyParam::AsInteger() const
{
    if (null_)
        return 0;
    switch (type_) {
    case TFieldType::ftInteger:
        return static_cast<int>(integer_);
    case TFieldType::ftFloat:
        return static_cast<int>(float_);
    default:
        return AnsiString(bytes_).toString().toInt();
    }
}

AnsiString TMyParam::AsAnsiString() const
{
    if (null_)
        return AnsiString();
    if (type_ == TFieldType::ftInteger)
        return AnsiString(std::to_string(integer_));
    return AnsiString(bytes_);
}

std::string TMyParam::Literal(TMyConnection& connection) const
{
    if (null_)
        return "NULL";
    switch (type_) {
    case TFieldType::ftInteger:
        return std::to_string(integer_);
    case TFieldType::ftFloat: {
        if (!std::isfinite(float_))
            return "NULL";
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", float_);
        return buf;
    }
    case TFieldType::ftDate:
    case TFieldType::ftDateTime: {
        // A value that names no day would go as an empty text, which a lenient server turns
        // into the zero date.
        const QDateTime moment = ToQDateTime(float_);
        if (!moment.isValid())
            throw EConvertError(QStringLiteral("Parameter %1: no valid date").arg(Name));
        const QString text = type_ == TFieldType::ftDate
                                 ? ToQDate(float_).toString(QStringLiteral("yyyy-MM-dd"))
                                 : moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return "'" + text.toStdString() + "'";
    }
    case TFieldType::ftBlob: {
        static const char hex[] = "0123456789ABCDEF";
        std::string out;
        out.reserve(bytes_.size() * 2 + 3);
        out += "X'";
        for (unsigned char c : bytes_) {
            out += hex[c >> 4];
            out += hex[c & 15];
        }
        out += "'";
        return out;
    }
    default:
        return "'" + connection.Escape(bytes_) + "'";
    }
}

TMyParam& TMyParams::operator[](int index)
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return params_[static_cast<std::size_t>(index)];
}

TMyParam* TMyParams::FindParam(const String& name)
{
    for (TMyParam& p : params_)
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

TMyParam* TMyParams::ParamByName(const String& name)
{
    if (TMyParam* p = FindParam(name))
        return p;
    throw EDatabaseError(QStringLiteral("Parameter '%1' not found").arg(name));
}

namespace {

bool isNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9');
}

} // namespace

void TMySql::Parse()
{
    const String text = SQL.Text().chopped(SQL.Count() ? 2 : 0);
    if (parsed_ && text == parsedText_)
        return;
    parsedText_ = text;
    parsed_ = true;

    const std::string bytes = AnsiString(text).bytes();
    std::vector<TMyParam> old;
    old.swap(Params.params_);
    pieces_.clear();

    std::string piece;
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = bytes[i];
        if (c == '\'' || c == '"' || c == '`') {
            // A quoted text or name, with doubled or backslash-escaped quotes inside.
            std::size_t j = i + 1;
            while (j < n) {
                if (bytes[j] == '\\' && c != '`' && j + 1 < n) {
                    j += 2;
                    continue;
                }
                if (bytes[j] == c) {
                    if (j + 1 < n && bytes[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            j = std::min(j + 1, n);
            piece.append(bytes, i, j - i);
            i = j;
        } else if ((c == '-' && i + 1 < n && bytes[i + 1] == '-') || c == '#') {
            const std::size_t j = std::min(bytes.find('\n', i), n);
            piece.append(bytes, i, j - i);
            i = j;
        } else if (c == '/' && i + 1 < n && bytes[i + 1] == '*') {
            std::size_t j = bytes.find("*/", i + 2);
            j = j == std::string::npos ? n : j + 2;
            piece.append(bytes, i, j - i);
            i = j;
        } else if (c == ':' && i + 1 < n && bytes[i + 1] == ':') {
            piece += "::";
            i += 2;
        } else if (c == ':' && i + 1 < n && isNameStart(bytes[i + 1])) {
            std::size_t j = i + 1;
            while (j < n && isNameChar(bytes[j]))
                ++j;
            const String name =
                String::fromLatin1(bytes.data() + i + 1, static_cast<qsizetype>(j - i - 1));
            TMyParam param(name);
            for (const TMyParam& p : old) {
                if (p.Name.compare(name, Qt::CaseInsensitive) == 0) {
                    param = p;
                    param.Name = name;
                    break;
                }
            }
            Params.params_.push_back(param);
            pieces_.push_back(std::move(piece));
            piece.clear();
            i = j;
        } else {
            piece += c;
            ++i;
        }
    }
    pieces_.push_back(std::move(piece));
}

std::string TMySql::Render(TMyConnection& connection)
{
    Parse();
    std::string out = pieces_[0];
    for (std::size_t k = 0; k < Params.params_.size(); ++k) {
        out += Params.params_[k].Literal(connection);
        out += pieces_[k + 1];
    }
    return out;
}
