#include "platform/data/mytable.h"

std::string TMyTable::SelectText()
{
    std::string name = AnsiString(TableName).bytes();
    std::string quoted;
    for (char c : name) {
        quoted += c;
        if (c == '`')
            quoted += '`';
    }
    return "SELECT * FROM `" + quoted + "`";
}
