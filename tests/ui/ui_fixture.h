#pragma once

// What the window tests share: a home folder of their own (so the registry and the logon
// file of one test program never meet another's), a fresh data module on the fixture
// server, the logon file, and steps that answer message boxes.
#include "platform/vcl/application.h"
#include "platform/vcl/registry.h"
#include "store/medium_db.h"
#include "tests/store/catalogue.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/testdb.h"
#include "ui/main_frm.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <string>

namespace ui {

// A home folder of its own, in test mode; call before anything looks up a folder.
inline void privateHome(QTemporaryDir& home)
{
    QVERIFY(home.isValid());
    qputenv("HOME", QFile::encodeName(home.path()));
    QStandardPaths::setTestModeEnabled(true);
}

// A data module with its own settings, on the fixture server.
inline void freshModule()
{
    delete dat_medium;
    dat_medium = new Tdat_medium(nullptr);
    dat_medium->myc_medium->Port = static_cast<int>(testdb::port());
}

inline QString logonPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/multimedia.dbs");
}

inline void writeLogon(const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(logonPath()).absolutePath());
    QFile file(logonPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

inline QByteArray readLogon()
{
    QFile file(logonPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// No logon file and no registry: a first start.
inline void forgetSettings()
{
    QFile::remove(logonPath());
    QFile::remove(TRegistry::FileName());
}

inline QAbstractButton* buttonWithText(QWidget* dialog, const QString& text)
{
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Records the text of a message box and presses its button with that caption.
inline DialogDriver::Step box(QStringList& seen, const QString& press = QStringLiteral("OK"))
{
    return [&seen, press](QWidget* w) {
        auto* message = qobject_cast<QMessageBox*>(w);
        QVERIFY2(message, qPrintable(QStringLiteral("not a message box: ") + w->windowTitle()));
        seen << message->text();
        QAbstractButton* button = buttonWithText(w, press);
        QVERIFY2(button, qPrintable(QStringLiteral("no button ") + press));
        QTest::mouseClick(button, Qt::LeftButton);
    };
}

// A main window started on the schema as root from a fresh logon file, with nothing else
// coming up while it starts.
inline void openMainWindow(std::unique_ptr<Tfrm_main>& frm, const std::string& schema)
{
    forgetSettings();
    freshModule();
    writeLogon("root\r\n\r\nlocalhost\r\n" + QByteArray::fromStdString(schema) + "\r\n");
    DialogDriver driver;
    frm = std::make_unique<Tfrm_main>(nullptr);
    frm->show();
    QCOMPARE(driver.Unexpected.join(","), QString());
}

inline void closeMainWindow(std::unique_ptr<Tfrm_main>& frm)
{
    if (frm)
        frm->close();
    frm.reset();
}

// The end of a test program: the data module goes.
inline void dropModule()
{
    delete dat_medium;
    dat_medium = nullptr;
}

// What a window test program keeps for its whole run: its home folder, the application and
// a catalogue of its own on the fixture server.
class ProgramFixture {
protected:
    QTemporaryDir home;
    std::unique_ptr<TApplication> app;
    std::unique_ptr<testdb::Catalogue> catalogue;

    // From initTestCase: the home folder, the application, a fresh data module and the
    // catalogue of this tag.
    void startProgram(const std::string& tag)
    {
        privateHome(home);
        app = std::make_unique<TApplication>();
        freshModule();
        catalogue = std::make_unique<testdb::Catalogue>(tag);
    }

    // From cleanupTestCase: the catalogue and the data module go.
    void endProgram()
    {
        catalogue.reset();
        dropModule();
    }
};

} // namespace ui
