#include "ui/logon_file.h"

#include "platform/rtl/stringlist.h"

#include <algorithm>

void load_logon(TStringList& lines, const String& path)
{
    lines.LoadFromFile(path);
    const int count = std::min(lines.Count(), 4);
    for (int i = 0; i < count; ++i)
        if (lines[i].contains(QChar(u'\0')))
            throw EFileError(
                QString::fromUtf8("Cannot read file \"%1\". Zeile %2 enthält ein Nullzeichen: "
                                  "die Anmeldedaten unter „Datenbank“ neu eingeben und mit OK "
                                  "speichern")
                    .arg(path)
                    .arg(i + 1));
}
