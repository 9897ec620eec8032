// The logon dialog and the database command: the test against the server with the schema
// question, the close rule, and what OK and Cancel do with the logon file and the connection.
#include "help_fixture.h"
#include "platform/vcl/actions.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/shell.h"
#include "platform/vcl/statusbar.h"
#include "platform/vcl/string_grid.h"
#include "tests/store/catalogue.h"
#include "ui/db_frm.h"
#include "ui/main_frm.h"
#include "ui_fixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using testdb::Catalogue;

namespace {

const QString kFailure = QString::fromUtf8("Anmeldung an die Datenbank ist nicht möglich!");

QStringList lines(const Tfrm_db& dialog)
{
    const QString text = dialog.mem_db->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

} // namespace

class TestLogon : public QObject, private ui::ProgramFixture {
    Q_OBJECT
    std::unique_ptr<Tfrm_main> frm;

    QByteArray logonOf(const std::string& schema, const char* password = "")
    {
        return QByteArray("root\r\n") + password + "\r\nlocalhost\r\n" +
               QByteArray::fromStdString(schema) + "\r\n";
    }

    // Fills the four fields and clicks Testen; the driver answers the question.
    static void test(Tfrm_db& d, const QString& password, const QString& schema)
    {
        DialogDriver::Type(d.edt_user, "root");
        DialogDriver::Type(d.edt_pwd, password);
        DialogDriver::Type(d.edt_server, "localhost");
        // QTest types ASCII only; what else the user enters comes by an input method.
        if (schema.toUtf8() == schema.toLatin1())
            DialogDriver::Type(d.edt_schema, schema);
        else
            d.edt_schema->setText(schema);
        QTest::mouseClick(d.btn_test, Qt::LeftButton);
        QVERIFY(d.isVisible()); // Testen never closes the dialog
        QCOMPARE(d.ModalResult(), int(mrNone));
    }

private slots:
    void initTestCase()
    {
        startProgram("logon");
        catalogue->sql().exec("insert into kategorie (name) values ('Roman');"
                              "insert into mediumtyp (typ) values ('Buch');"
                              "insert into standort (ort) values ('Regal');"
                              "insert into medium (titel, autor, ort_fk, typ_fk, kategorie_fk)"
                              " values ('Mittag', 'Zweig', 1, 1, 1)");
    }

    // Every case starts from a main window on the catalogue.
    void init() { ui::openMainWindow(frm, catalogue->name()); }

    void cleanup() { ui::closeMainWindow(frm); }

    void cleanupTestCase() { endProgram(); }

    void schemaQuestion_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("answer"); // "" when no question is expected
        QTest::addColumn<bool>("created");
        QTest::newRow("existing schema") << true << "" << false;
        QTest::newRow("new schema, yes") << false << "&Ja" << true;
        QTest::newRow("new schema, no") << false << "&Nein" << false;
    }

    void schemaQuestion()
    {
        QFETCH(bool, exists);
        QFETCH(QString, answer);
        QFETCH(bool, created);
        const std::string fresh = "kt_new_" + std::to_string(QCoreApplication::applicationPid());
        testdb::Direct().exec("DROP DATABASE IF EXISTS `" + fresh + "`");
        const QString schema = QString::fromStdString(exists ? catalogue->name() : fresh);
        QStringList questions, facts;
        bool okEnabled = false;
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            auto* d = qobject_cast<Tfrm_db*>(w);
            QVERIFY(d);
            test(*d, "", schema);
            facts = lines(*d);
            okEnabled = d->btn_ok->isEnabled();
            QTest::mouseClick(d->btn_abbrechen, Qt::LeftButton);
        });
        if (!answer.isEmpty())
            driver.then(ui::box(questions, answer));
        frm->act_bank->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(questions.size(), answer.isEmpty() ? 0 : 1);
        QCOMPARE(facts.size(), 7);
        QVERIFY2(facts[0].startsWith("Version: "), qPrintable(facts[0]));
        QCOMPARE(facts[6], QStringLiteral("Schema: ") + (created ? schema : QString()));
        QVERIFY(okEnabled);
        const std::string tables = testdb::Direct().value(
            "select count(*) from information_schema.tables where table_schema = '" + fresh + "'");
        QCOMPARE(tables, std::string(created ? "7" : "0"));
        testdb::Direct().exec("DROP DATABASE IF EXISTS `" + fresh + "`");
        // Cancel: the file and the window stay as they were.
        QCOMPARE(ui::readLogon(), logonOf(catalogue->name()));
        QCOMPARE(frm->stab_kollektar->Panels(1)->Text(), QString::fromStdString(catalogue->name()));
    }

    // A refused logon after a good one: the facts stay, each failure adds its line.
    void refusedTwiceAfterSuccess()
    {
        QStringList seen;
        bool okAfterSuccess = false, okAfterFailure = true;
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            auto* d = qobject_cast<Tfrm_db*>(w);
            test(*d, "", QString::fromStdString(catalogue->name()));
            okAfterSuccess = d->btn_ok->isEnabled();
            test(*d, "falsch", QString::fromStdString(catalogue->name()));
            test(*d, "falsch", QString::fromStdString(catalogue->name()));
            okAfterFailure = d->btn_ok->isEnabled();
            d->edt_user->setFocus();
            QTest::keyClick(d->edt_user, Qt::Key_Return); // OK is disabled: nothing happens
            QVERIFY(d->isVisible());
            seen = lines(*d);
            QTest::keyClick(d->edt_user, Qt::Key_Escape);
        });
        frm->act_bank->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QVERIFY(okAfterSuccess);
        QVERIFY(!okAfterFailure);
        QCOMPARE(seen.size(), 9);
        QCOMPARE(seen.mid(7), (QStringList{kFailure, kFailure}));
    }

    // OK after a good test: the file is rewritten with four lines for only its owner, the
    // connection is stopped and opened on the dialog's values, the list refilled. The
    // fields come from a file of five lines, server and schema in the file's order.
    void okSavesAndReconnects()
    {
        ui::writeLogon("root\r\n\r\nlocalhost\r\n" + QByteArray::fromStdString(catalogue->name()) +
                       "\r\nfünfte\r\n");
        QFile::setPermissions(ui::logonPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ReadOther);
        Catalogue second("other");
        second.sql().exec("insert into kategorie (name) values ('Roman');"
                          "insert into mediumtyp (typ) values ('Film');"
                          "insert into standort (ort) values ('Keller');"
                          "insert into medium (titel, autor, ort_fk, typ_fk, kategorie_fk)"
                          " values ('Abendland', 'Adler', 1, 1, 1)");
        const std::string other = second.name();
        QStringList fields;
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            auto* d = qobject_cast<Tfrm_db*>(w);
            fields << d->edt_user->text() << d->edt_pwd->text() << d->edt_server->text()
                   << d->edt_schema->text();
            test(*d, "", QString::fromStdString(other));
            d->edt_schema->setFocus();
            QTest::keyClick(d->edt_schema, Qt::Key_Return); // Enter confirms once OK is on
        });
        frm->act_bank->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(fields,
                 (QStringList{"root", "", "localhost", QString::fromStdString(catalogue->name())}));
        QCOMPARE(ui::readLogon(), logonOf(other));
        QCOMPARE(int(QFile::permissions(ui::logonPath()) & 0x0077), 0);
        QCOMPARE(frm->stab_kollektar->Panels(1)->Text(), QString::fromStdString(other));
        QCOMPARE(frm->strg_main->Rows(0).join(u'|'),
                 QStringLiteral("1|Abendland|Adler|Keller|Film|Roman"));
        QCOMPARE(dat_medium->myc_medium->Database(), QString::fromStdString(other));
        QVERIFY(dat_medium->myc_medium->Connected());
    }

    // No: OK saves values whose schema does not exist; opening it fails, the file keeps
    // them and the status bar its schema.
    void okOnMissingSchema()
    {
        QStringList boxes;
        DialogDriver driver;
        driver
            .then([&](QWidget* w) {
                auto* d = qobject_cast<Tfrm_db*>(w);
                test(*d, "", "kt_fehlt");
                QTest::mouseClick(d->btn_ok, Qt::LeftButton);
            })
            .then(ui::box(boxes, "&Nein"))
            .then(ui::box(boxes));
        frm->act_bank->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(boxes.size(), 2);
        QVERIFY2(boxes[1].endsWith(". Datenbankverbindung kann nicht geöffnet werden. Es ist ein "
                                   "schwerer Ausnahmefehler aufgetreten."),
                 qPrintable(boxes[1]));
        QCOMPARE(ui::readLogon(), logonOf("kt_fehlt"));
        QCOMPARE(frm->stab_kollektar->Panels(1)->Text(), QString::fromStdString(catalogue->name()));
        QCOMPARE(frm->strg_main->Rows(0)[1], QStringLiteral("Mittag"));
    }

    // A logon file that cannot be read whole: the error is shown, and the dialog opens with
    // the lines that could be read, so that the user can mend the file from here.
    void unreadableFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("fields"); // user, password, server, schema
        QTest::newRow("three lines")
            << QByteArray("root\r\n\r\nlocalhost\r\n") << "List index out of bounds (3)"
            << QStringList{"root", "", "localhost", ""};
        QTest::newRow("empty") << QByteArray() << "List index out of bounds (0)"
                               << QStringList{"", "", "", ""};
        // A NUL would cut the value; the file counts as unreadable and nothing is taken from it.
        const QByteArrayList lines = {"root", "", "localhost", "kt_k"};
        for (int i = 0; i < 4; ++i) {
            QByteArrayList withNul = lines;
            withNul[i] += QByteArray("\0at1", 4);
            QTest::addRow("a NUL in line %d", i + 1)
                << withNul.join("\r\n") + "\r\n"
                << "Cannot read file \"" + frm->getpfad() + "\\multimedia.dbs\". " +
                       QString::fromUtf8("Zeile %1 enthält ein Nullzeichen: die Anmeldedaten unter "
                                         "„Datenbank“ neu eingeben und mit OK speichern")
                           .arg(i + 1)
                << QStringList{"", "", "", ""};
        }
    }

    void unreadableFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QFETCH(QStringList, fields);
        ui::writeLogon(file);
        QStringList boxes, seen;
        DialogDriver driver;
        driver.then(ui::box(boxes)).then([&](QWidget* w) {
            auto* d = qobject_cast<Tfrm_db*>(w);
            QVERIFY(d);
            seen << d->edt_user->text() << d->edt_pwd->text() << d->edt_server->text()
                 << d->edt_schema->text();
            test(*d, "", QString::fromStdString(catalogue->name()));
            QTest::mouseClick(d->btn_ok, Qt::LeftButton);
        });
        frm->act_bank->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(boxes, QStringList{error + ". Es ist ein schwerer Ausnahmefehler aufgetreten."});
        QCOMPARE(seen, fields);
        QCOMPARE(ui::readLogon(), logonOf(catalogue->name())); // mended
    }

    // A schema name that is empty or has characters the 8-bit code page lacks is refused in
    // the result area after a good test: no question, nothing created, OK disabled.
    void schemaNameRefused_data()
    {
        QTest::addColumn<QString>("schema");
        QTest::addColumn<QString>("mangled"); // the name it would have become
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("outside code page 1252") << QString::fromUtf8("日本") << "??";
    }

    void schemaNameRefused()
    {
        QFETCH(QString, schema);
        QFETCH(QString, mangled);
        const auto schemata = [&] {
            return testdb::Direct().value(
                "select count(*) from information_schema.schemata where schema_name = '" +
                mangled.toStdString() + "'");
        };
        QStringList seen;
        bool okEnabled = true;
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            auto* d = qobject_cast<Tfrm_db*>(w);
            test(*d, "", QString::fromStdString(catalogue->name()));
            QVERIFY(d->btn_ok->isEnabled());
            test(*d, "", schema);
            seen = lines(*d);
            okEnabled = d->btn_ok->isEnabled();
            QTest::keyClick(d->edt_schema, Qt::Key_Return); // OK is disabled: nothing happens
            QVERIFY(d->isVisible());
            QTest::keyClick(d->edt_schema, Qt::Key_Escape);
        });
        frm->act_bank->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString()); // no question, no error box
        QCOMPARE(seen, QStringList{kFailure});
        QVERIFY(!okEnabled);
        QCOMPARE(schemata(), std::string("0"));
        QCOMPARE(ui::readLogon(), logonOf(catalogue->name()));
    }

    void dialogLayout()
    {
        Tfrm_db d(frm.get());
        QCOMPARE(d.windowTitle(), QStringLiteral("Datenbank Anmeldung"));
        QVERIFY(!(d.windowFlags() & Qt::WindowSystemMenuHint));
        QVERIFY(!(d.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(d.size(), QSize(315, 332));
        QCOMPARE(d.edt_pwd->echoMode(), QLineEdit::Password);
        QVERIFY(d.mem_db->isReadOnly());
        QStringList captions;
        for (QPushButton* b : {d.btn_test, d.btn_ok, d.btn_abbrechen, d.btn_hilfe})
            captions << b->text() + "|" + b->toolTip();
        QCOMPARE(captions,
                 (QStringList{"Testen|DB Testen", "OK|OK", "Abbrechen|Abbrechen", "&Hilfe|Hilfe"}));
        QStringList labels;
        for (const char* name :
             {"edt_user_label", "edt_pwd_label", "edt_schema_label", "edt_server_label"})
            labels << d.findChild<QLabel*>(name)->text();
        QCOMPARE(d.edt_user->EditLabel->geometry().right() + 1 + 3, d.edt_user->x()); // left
        QCOMPARE(labels, (QStringList{"Benutzer  ", "Passwort ", "Schema    ", "Server     "}));
        QStringList order;
        for (QWidget* w = d.edt_user; order.size() < 9; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                order << w->objectName();
        QCOMPARE(order, (QStringList{"edt_user", "edt_pwd", "edt_schema", "edt_server", "mem_db",
                                     "btn_test", "btn_ok", "btn_abbrechen", "btn_hilfe"}));
        // The help button asks for the dialog's context.
        QTest::mouseClick(d.btn_hilfe, Qt::LeftButton);
        QCOMPARE(ui::shownTopic(*frm), ui::topicOf(111));
        QCOMPARE(ui::openViewers(), 1);
    }
};

QTEST_MAIN(TestLogon)
#include "test_logon.moc"
