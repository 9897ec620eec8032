#include "platform/rtl/fileutil.h"

#include <QDir>
#include <QFileInfo>

String NativePath(const String& path)
{
    String out;
    out.reserve(path.size());
    bool lastWasSeparator = false;
    for (QChar c : path) {
        const bool separator = c == u'\\' || c == u'/';
        if (separator && lastWasSeparator)
            continue;
        out += separator ? QChar(u'/') : c;
        lastWasSeparator = separator;
    }
    return out;
}

bool FileExists(const String& path)
{
    const QFileInfo info(NativePath(path));
    return info.exists() && info.isFile();
}

String ExtractFilePath(const String& fileName)
{
    const qsizetype slash = std::max(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'));
    return slash < 0 ? String() : fileName.left(slash + 1);
}
