// Where the program keeps its files, whatever the home folder is called, and that they stay
// the user's own: the logon file and the window state in a home folder named with
// characters outside code page 1252, the inventory exported and printed there; the logon file
// and the settings made private; the folders the program makes open to their owner only,
// whatever the umask.
#include "platform/vcl/actions.h"
#include "platform/vcl/application.h"
#include "platform/vcl/registry.h"
#include "platform/vcl/statusbar.h"
#include "tests/store/catalogue.h"
#include "tests/support/dialog_driver.h"
#include "ui/main_frm.h"
#include "ui_fixture.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include <sys/stat.h>

namespace {

QString modeOf(const QString& path)
{
    struct stat st {};
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("<missing>");
    return QString::number(st.st_mode & 0777, 8);
}

QStringList outerGeometry(const Tfrm_main& frm)
{
    const QRect r = frm.frameGeometry();
    return {QString::number(r.top()), QString::number(r.left()), QString::number(r.width()),
            QString::number(r.height())};
}

QStringList storedOuter()
{
    TRegistry reg;
    QStringList out;
    if (!reg.OpenKey("\\Software\\vantoria\\multimedia", false))
        return {"<no key>"};
    for (const char* name : {"top", "left", "width", "height"})
        out << (reg.ValueExists(name) ? QString::number(reg.ReadInteger(name)) : "-");
    return out;
}

QString pdfText(const QString& file)
{
    QProcess text;
    text.start("pdftotext", {file, "-"});
    text.waitForFinished();
    return QString::fromUtf8(text.readAllStandardOutput());
}

} // namespace

class TestSettingsFiles : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    std::unique_ptr<TApplication> app;
    std::unique_ptr<testdb::Catalogue> catalogue;
    QString home;

    // A home folder of that name, as the user's: the files go where the desktop wants them.
    void useHome(const QString& name)
    {
        home = tmp.path() + u'/' + name;
        QVERIFY(QDir().mkpath(home));
        qputenv("HOME", QFile::encodeName(home));
        ui::freshModule();
    }

    QString logonFile() const { return home + "/.local/share/multimedia.dbs"; }
    QString settingsFile() const { return home + "/.config/vantoria/registry.ini"; }

    QByteArray logon() const
    {
        return "root\r\n\r\nlocalhost\r\n" + QByteArray::fromStdString(catalogue->name()) + "\r\n";
    }

    // A first start: the two notices, then the logon dialog, filled in and confirmed.
    std::unique_ptr<Tfrm_main> firstStart(QStringList& boxes)
    {
        DialogDriver driver;
        driver.then(ui::box(boxes)).then(ui::box(boxes)).then([&](QWidget* w) {
            DialogDriver::Type(w->findChild<QLineEdit*>("edt_user"), "root");
            DialogDriver::Type(w->findChild<QLineEdit*>("edt_server"), "localhost");
            DialogDriver::Type(w->findChild<QLineEdit*>("edt_schema"),
                               QString::fromStdString(catalogue->name()));
            QTest::mouseClick(w->findChild<QPushButton*>("btn_test"), Qt::LeftButton);
            QTest::mouseClick(w->findChild<QPushButton*>("btn_ok"), Qt::LeftButton);
        });
        auto frm = std::make_unique<Tfrm_main>(nullptr);
        frm->show();
        boxes << driver.Unexpected;
        return frm;
    }

    // A start that nothing interrupts; what comes up all the same is in UNEXPECTED.
    std::unique_ptr<Tfrm_main> start(QStringList& unexpected)
    {
        DialogDriver driver;
        auto frm = std::make_unique<Tfrm_main>(nullptr);
        frm->show();
        unexpected = driver.Unexpected;
        return frm;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        // Nothing but the home folder says where the files go.
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        app = std::make_unique<TApplication>();
        ui::freshModule();
        catalogue = std::make_unique<testdb::Catalogue>("files");
        catalogue->sql().exec("insert into kategorie (name) values ('Roman');"
                              "insert into mediumtyp (typ) values ('Buch');"
                              "insert into standort (ort) values ('Regal');"
                              "insert into medium (titel, autor, ort_fk, typ_fk, kategorie_fk)"
                              " values ('Zauberberg', 'Mann', 1, 1, 1)");
    }

    void cleanupTestCase()
    {
        catalogue.reset();
        ui::dropModule();
    }

    void homeOfAnyName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Polish") << QString::fromUtf8("łukasz");
        QTest::newRow("Japanese") << QString::fromUtf8("日本");
    }

    // The logon file that the dialog wrote is found at the next start, which brings no
    // notice; the window comes back where it was; the inventory goes into the home folder.
    void homeOfAnyName()
    {
        QFETCH(QString, name);
        useHome(name);
        QStringList boxes;
        QStringList outer;
        {
            auto frm = firstStart(boxes);
            QCOMPARE(boxes.size(), 2);
            QCOMPARE(boxes[0], QStringLiteral("Datenbankdaten existieren noch nicht. Legen Sie "
                                              "zuerst eine Datenbank an."));
            QCOMPARE(frm->stab_kollektar->Panels(1)->Text(),
                     QString::fromStdString(catalogue->name()));
            frm->move(40, 60);
            frm->resize(720, 540);
            outer = outerGeometry(*frm);
            frm->close();
        }
        QFile file(logonFile());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(logonFile()));
        QCOMPARE(file.readAll(), logon());
        QCOMPARE(storedOuter(), outer);

        QStringList unexpected;
        auto frm = start(unexpected);
        QCOMPARE(unexpected.join(","), QString());
        QCOMPARE(frm->stab_kollektar->Panels(1)->Text(), QString::fromStdString(catalogue->name()));
        QCOMPARE(outerGeometry(*frm), outer);
        QCOMPARE(frm->getpfad(), home + "/.local/share");

        const QString pdf = home + QString::fromUtf8("/Inventar für ") + name + ".pdf";
        {
            DialogDriver driver;
            driver.then([](QWidget* w) { DialogDriver::Accept(w); }).then([&](QWidget* w) {
                w->findChild<QLineEdit*>("fileNameEdit")->setText(pdf);
                DialogDriver::Accept(w);
            });
            frm->findChild<TAction*>("act_pdf")->trigger();
            QCOMPARE(driver.Unexpected.join(","), QString());
        }
        QVERIFY2(pdfText(pdf).contains("Zauberberg"), qPrintable(pdf));
        const QString printed = home + "/gedruckt.pdf";
        {
            DialogDriver driver;
            driver.then([&](QWidget* w) {
                w->findChild<QLineEdit*>("filename")->setText(printed);
                DialogDriver::Accept(w);
            });
            frm->findChild<TAction*>("act_print")->trigger();
            QCOMPARE(driver.Unexpected.join(","), QString());
        }
        QVERIFY2(pdfText(printed).contains("Zauberberg"), qPrintable(printed));
        frm->close();
        QVERIFY(QFile::exists(settingsFile()));
    }

    // Files that others could read, from an earlier version or a copy: after a run only
    // their owner can.
    void filesMadePrivate()
    {
        useHome("bestand");
        QStringList boxes;
        firstStart(boxes)->close();
        QCOMPARE(boxes.size(), 2);
        const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ReadGroup | QFileDevice::ReadOther;
        for (const QString& path : {logonFile(), settingsFile()})
            QVERIFY(QFile::setPermissions(path, open));
        QStringList unexpected;
        start(unexpected)->close();
        QCOMPARE(unexpected.join(","), QString());
        QCOMPARE(modeOf(logonFile()), QStringLiteral("600"));
        QCOMPARE(modeOf(settingsFile()), QStringLiteral("600"));
    }

    // Under a umask that takes nothing away, what the program makes is still its owner's.
    void privateUnderAnyUmask()
    {
        useHome("offen");
        QStringList boxes;
        const mode_t before = umask(0);
        firstStart(boxes)->close();
        umask(before);
        QCOMPARE(boxes.size(), 2);
        QStringList modes;
        for (const char* path : {"/.local", "/.local/share", "/.config", "/.config/vantoria",
                                 "/.local/share/multimedia.dbs", "/.config/vantoria/registry.ini"})
            modes << QString::fromLatin1(path) + u'=' + modeOf(home + path);
        QCOMPARE(modes, (QStringList{"/.local=700", "/.local/share=700", "/.config=700",
                                     "/.config/vantoria=700", "/.local/share/multimedia.dbs=600",
                                     "/.config/vantoria/registry.ini=600"}));
    }
};

QTEST_MAIN(TestSettingsFiles)
#include "test_settings_files.moc"
