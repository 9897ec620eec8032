#include "ui/help_file.h"

#include "platform/vcl/application.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEngineCore>
#include <QHelpLink>
#include <QStandardPaths>

namespace {

const char* const kCollection = "kollektar_hilfe.qhc";

// Opens a collection for reading; false where it cannot be read.
bool readable(QHelpEngineCore& engine)
{
    engine.setReadOnly(true);
    return engine.setupData();
}

bool sameFile(const QString& a, const QString& b)
{
    const QString path = QFileInfo(a).canonicalFilePath();
    return !path.isEmpty() && path == QFileInfo(b).canonicalFilePath();
}

// Whether the viewer's copy names the help files that the collection names.
bool namesTheSameFiles(QHelpEngineCore& own, const QString& copy)
{
    QHelpEngineCore cached(copy);
    if (!readable(cached))
        return false;
    for (const QString& name : own.registeredDocumentations())
        if (!sameFile(cached.documentationFileName(name), own.documentationFileName(name)))
            return false;
    return true;
}

} // namespace

String help_collection(const String& programFolder)
{
    const QDir folder(programFolder);
    for (const QString& path :
         {folder.filePath(QLatin1String(kCollection)),
          folder.filePath(QStringLiteral("../share/kollektar/") + QLatin1String(kCollection))})
        if (QFileInfo(path).isFile())
            return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return String();
}

String help_topic(const String& collection, quint16 command, qint64 data)
{
    if (collection.isEmpty())
        return String();
    QHelpEngineCore engine(collection);
    if (!readable(engine))
        return String();
    QList<QHelpLink> links;
    if (command == HELP_CONTEXT)
        links = engine.documentsForIdentifier(QString::number(data));
    else if (command == HELP_KEY) {
        const String keyword = HelpRequestKeyword(data);
        if (!keyword.isEmpty())
            links = engine.documentsForKeyword(keyword);
    }
    if (!links.isEmpty())
        return links.first().url.toString();
    return engine.customValue(QStringLiteral("defaultHomepage")).toString();
}

void check_help_copy(const String& collection)
{
    if (collection.isEmpty())
        return;
    QHelpEngineCore own(collection);
    if (!readable(own))
        return;
    // Where the viewer keeps its copy: the folder that the collection names, in the user's
    // data folder or beside the collection; the copy bears the collection's file name.
    const String folderName = own.customValue(QStringLiteral("CacheDirectory")).toString();
    if (folderName.isEmpty())
        return;
    const QFileInfo file(collection);
    const QDir folder(own.customValue(QStringLiteral("CacheDirRelativeToCollection")).toBool()
                          ? file.absoluteDir().filePath(folderName)
                          : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                u'/' + folderName);
    const String copy = folder.filePath(file.fileName());
    if (!QFileInfo(copy).isFile() || namesTheSameFiles(own, copy))
        return;
    QFile::remove(copy);
    QDir(folder.filePath(u'.' + file.completeBaseName())).removeRecursively();
}
