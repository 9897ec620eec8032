#include "platform/data/myscript.h"

#include "platform/rtl/apperror.h"

namespace {

bool blank(const std::string& s)
{
    for (unsigned char c : s)
        if (c > ' ')
            return false;
    return true;
}

} // namespace

std::vector<std::string> TMyScript::Split(const TStringList& lines)
{
    std::vector<std::string> statements;
    std::string current;
    char quote = 0;
    for (int k = 0; k < lines.Count(); ++k) {
        const std::string line = AnsiString(lines[k]).bytes();
        if (!quote) {
            const std::size_t first = line.find_first_not_of(" \t");
            if (first != std::string::npos && line.compare(first, 2, "--") == 0)
                continue;
        }
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (quote) {
                current += c;
                if (c == '\\' && quote != '`' && i + 1 < line.size())
                    current += line[++i];
                else if (c == quote)
                    quote = 0;
            } else if (c == '\'' || c == '"' || c == '`') {
                quote = c;
                current += c;
            } else if (c == ';') {
                if (!blank(current))
                    statements.push_back(current);
                current.clear();
            } else {
                current += c;
            }
        }
        current += "\r\n";
    }
    if (!blank(current))
        statements.push_back(current);
    return statements;
}

void TMyScript::Execute()
{
    errors_ = 0;
    if (!Connection)
        throw EDatabaseError(QStringLiteral("%1: no connection").arg(Name));
    const std::vector<std::string> statements = Split(SQL);
    Connection->Handle(); // a failure to connect ends the script before its first statement
    for (const std::string& statement : statements) {
        try {
            if (MYSQL_RES* result = Connection->Run(statement))
                mysql_free_result(result);
        } catch (const Exception& e) {
            ++errors_;
            if (OnError)
                OnError(e);
            else
                HandleApplicationError(e);
        }
    }
}
