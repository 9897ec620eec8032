#include "platform/rtl/fileutil.h"

#include <QDir>
#include <QFile>
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

bool ForceDirectories(const String& path)
{
    const QFileDevice::Permissions owner =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    const QString target = QDir::cleanPath(QDir(NativePath(path)).absolutePath());
    // The missing folders, the uppermost first.
    QStringList missing;
    for (QString at = target; !QFileInfo::exists(at);) {
        missing.prepend(at);
        const QString up = QFileInfo(at).path();
        if (up == at)
            break;
        at = up;
    }
    for (const QString& folder : missing) {
        // The umask may take bits from the mode given to mkdir; the folder gets exactly the
        // owner's.
        if (QDir().mkdir(folder, owner))
            QFile::setPermissions(folder, owner);
    }
    return QFileInfo(target).isDir();
}

bool MakePrivate(const String& fileName)
{
    const QString file = NativePath(fileName);
    const QFileDevice::Permissions owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!QFileInfo::exists(file)) {
        QFile made(file);
        if (!made.open(QIODevice::WriteOnly | QIODevice::NewOnly, owner))
            return QFileInfo::exists(file) && MakePrivate(fileName);
        made.close();
        return QFile::setPermissions(file, owner);
    }
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileDevice::Permissions now = QFile::permissions(file);
    return !(now & others) || QFile::setPermissions(file, now & ~others);
}
