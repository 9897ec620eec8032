#include "platform/vcl/registry.h"

#include "platform/rtl/fileutil.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const char* kMarker = "@key";
const char* kShellFolders = "software/microsoft/windows/currentversion/explorer/shell folders";

String normalKey(const String& key)
{
    QStringList parts;
    for (const QString& part : key.split(u'\\', Qt::SkipEmptyParts))
        parts << part.toLower();
    return parts.join(u'/');
}

// Ini keys: a group per registry key; "/" inside a name would open a group.
String escapeName(const String& name)
{
    String out = name.toLower();
    out.replace(u'%', QLatin1String("%25"));
    out.replace(u'/', QLatin1String("%2F"));
    out.replace(u'\\', QLatin1String("%5C"));
    return out;
}

} // namespace

String TRegistry::FileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vantoria/registry.ini");
}

TRegistry::TRegistry()
{
    const QString file = FileName();
    // The file is private before anything is written to it: the settings replace it through
    // a save file, which takes over its permissions.
    ForceDirectories(QFileInfo(file).absolutePath());
    MakePrivate(file);
    settings_ = std::make_unique<QSettings>(file, QSettings::IniFormat);
}

TRegistry::~TRegistry()
{
    settings_->sync();
    QFile::setPermissions(FileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool TRegistry::KeyExists(const String& key)
{
    const String k = normalKey(key);
    return k.isEmpty() || settings_->contains(k + u'/' + QLatin1String(kMarker));
}

bool TRegistry::CreateKey(const String& key)
{
    // Every key on the path comes into being, as in the registry.
    const QStringList parts = normalKey(key).split(u'/', Qt::SkipEmptyParts);
    String path;
    for (const QString& part : parts) {
        path += (path.isEmpty() ? String() : String(u'/')) + part;
        if (!settings_->contains(path + u'/' + QLatin1String(kMarker)))
            settings_->setValue(path + u'/' + QLatin1String(kMarker), 1);
    }
    settings_->sync();
    if (settings_->status() != QSettings::NoError)
        throw ERegistryException(QStringLiteral("Failed to create key %1").arg(key));
    return true;
}

bool TRegistry::OpenKey(const String& key, bool canCreate)
{
    CloseKey();
    if (!KeyExists(key)) {
        if (!canCreate)
            return false;
        CreateKey(key);
    }
    current_ = normalKey(key);
    open_ = true;
    return true;
}

void TRegistry::CloseKey()
{
    if (open_)
        settings_->sync();
    open_ = false;
    current_.clear();
}

void TRegistry::requireOpen() const
{
    if (!open_)
        throw ERegistryException(QStringLiteral("No key is open"));
}

String TRegistry::valueKey(const String& name) const
{
    return current_ + u'/' + escapeName(name);
}

bool TRegistry::ValueExists(const String& name)
{
    return open_ && settings_->contains(valueKey(name));
}

String TRegistry::ReadString(const String& name)
{
    requireOpen();
    const QVariant v = settings_->value(valueKey(name));
    if (!v.isValid()) {
        if (current_ == QLatin1String(kShellFolders) &&
            name.compare(QLatin1String("Local AppData"), Qt::CaseInsensitive) == 0) {
            const QString folder =
                QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
            ForceDirectories(folder);
            return folder;
        }
        return String();
    }
    const QString stored = v.toString();
    if (!stored.startsWith(QLatin1String("sz:")))
        throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
    return stored.mid(3);
}

int TRegistry::ReadInteger(const String& name)
{
    requireOpen();
    const QString stored = settings_->value(valueKey(name)).toString();
    bool ok = false;
    const int value = stored.startsWith(QLatin1String("dword:")) ? stored.mid(6).toInt(&ok) : 0;
    if (!ok)
        throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
    return value;
}

void TRegistry::WriteString(const String& name, const String& value)
{
    requireOpen();
    settings_->setValue(valueKey(name), QStringLiteral("sz:") + value);
    commit(name);
}

void TRegistry::WriteInteger(const String& name, int value)
{
    requireOpen();
    settings_->setValue(valueKey(name), QStringLiteral("dword:") + QString::number(value));
    commit(name);
}

void TRegistry::commit(const String& name)
{
    settings_->sync();
    if (settings_->status() != QSettings::NoError)
        throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name));
}
