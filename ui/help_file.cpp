#include "ui/help_file.h"

#include "platform/vcl/application.h"

#include <QDir>
#include <QFileInfo>
#include <QHelpEngineCore>
#include <QHelpLink>

namespace {

const char* const kCollection = "kollektar_hilfe.qhc";

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
    engine.setReadOnly(true);
    if (!engine.setupData())
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
