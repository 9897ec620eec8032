// The main window: starting with and without logon data, the window state across runs, the
// list with its sort and searches, hints and help.
#include "help_fixture.h"
#include "platform/vcl/actions.h"
#include "platform/vcl/header_control.h"
#include "platform/vcl/ribbon.h"
#include "platform/vcl/shell.h"
#include "platform/vcl/statusbar.h"
#include "platform/vcl/string_grid.h"
#include "store/db_access.h"
#include "tests/store/catalogue.h"
#include "tests/support/checks.h"
#include "ui/db_frm.h"
#include "ui/main_frm.h"
#include "ui_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

#include <csignal>
#include <unistd.h>

using testdb::Catalogue;

namespace {

// Title order: Abendland (2), Mittag (1), Zauberberg (3); medium 2 has no keyword.
const char* const kSeed =
    "insert into kategorie (name) values ('Roman'), ('Sachbuch');"
    "insert into mediumtyp (typ) values ('Buch'), ('Film');"
    "insert into standort (ort) values ('Regal'), ('Keller');"
    "insert into medium (titel, autor, ort_fk, typ_fk, kategorie_fk) values"
    " ('Mittag', 'Zweig', 1, 1, 1), ('Abendland', 'Adler', 2, 2, 2),"
    " ('Zauberberg', 'Mann', 1, 1, 1);"
    "insert into stichwort values (1, 'Haus'), (1, 'Hausboot'), (3, 'Garten')";

const QString kAppSentence = QStringLiteral(". Es ist ein schwerer Ausnahmefehler aufgetreten.");
// One full stop between two sentences.
const QString kShowSentence =
    QString::fromUtf8(". App-Einstellungen können nicht rekonstruiert werden. Es ist ein schwerer "
                      "Ausnahmefehler aufgetreten.");
const QStringList kLayoutWidths = {"50", "400", "100", "100", "60", "100"};
const QStringList kDefaultWidths = {"30", "250", "150", "250", "50", "70"};

QStringList headerWidths(const Tfrm_main& frm)
{
    QStringList out;
    for (int i = 0; i < 6; ++i)
        out << QString::number(frm.hec_main->Sections(i)->Width());
    return out;
}

QStringList gridWidths(const Tfrm_main& frm)
{
    QStringList out;
    for (int i = 0; i < 6; ++i)
        out << QString::number(frm.strg_main->ColWidths(i));
    return out;
}

QStringList minusOne(const QStringList& widths)
{
    QStringList out;
    for (const QString& w : widths)
        out << QString::number(w.toInt() - 1);
    return out;
}

// The ten values of the window's stored state, in this order.
const char* const kStateNames[] = {"top",     "left",    "width",   "height",  "column0",
                                   "column1", "column2", "column3", "column4", "column5"};

QStringList storedState()
{
    TRegistry reg;
    QStringList out;
    if (!reg.OpenKey("\\Software\\vantoria\\multimedia", false))
        return {"<no key>"};
    for (const char* name : kStateNames)
        out << (reg.ValueExists(name) ? QString::number(reg.ReadInteger(name)) : "-");
    return out;
}

// Writes the ten values of the stored state into the open key.
void writeState(TRegistry& reg, const QStringList& values)
{
    for (int i = 0; i < 10; ++i)
        reg.WriteInteger(kStateNames[i], values[i].toInt());
}

QStringList outerGeometry(const Tfrm_main& frm)
{
    const QRect r = frm.frameGeometry();
    return {QString::number(r.top()), QString::number(r.left()), QString::number(r.width()),
            QString::number(r.height())};
}

TRibbonButton* ribbonButton(const Tfrm_main& frm, const char* action)
{
    return frm.rib_main->findChild<TRibbonButton*>(QString::fromLatin1(action));
}

void clickSection(Tfrm_main& frm, int section)
{
    THeaderControl* h = frm.hec_main;
    const QPoint at(h->sectionViewportPosition(section) + h->sectionSize(section) / 2,
                    h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
}

// The part of the header that a mouse at this point (header coordinates) meets.
QWidget* partAt(THeaderControl* h, const QPoint& at)
{
    QWidget* part = h->childAt(at);
    return part ? part : h;
}

// The user drags with the left button from one point of the header to another.
void dragInHeader(THeaderControl* h, const QPoint& from, const QPoint& to)
{
    QWidget* v = partAt(h, from);
    const QPoint a = v->mapFrom(h, from), b = v->mapFrom(h, to);
    QMouseEvent press(QEvent::MouseButtonPress, a, v->mapToGlobal(a), Qt::LeftButton,
                      Qt::LeftButton, {});
    QMouseEvent move(QEvent::MouseMove, b, v->mapToGlobal(b), Qt::NoButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, b, v->mapToGlobal(b), Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(v, &press);
    QApplication::sendEvent(v, &move);
    QApplication::sendEvent(v, &release);
}

} // namespace

class TestMainFrm : public QObject, private ui::ProgramFixture {
    Q_OBJECT

    QByteArray logonOf(const QString& schema, const char* server = "localhost")
    {
        return QByteArray("root\r\n\r\n") + server + "\r\n" + schema.toLatin1() + "\r\n";
    }

    // Creates and shows the main window; the driver answers what comes up meanwhile.
    std::unique_ptr<Tfrm_main> start()
    {
        auto frm = std::make_unique<Tfrm_main>(nullptr);
        frm->show();
        return frm;
    }

    // The list as "id|titel|autor|standort|typ|kategorie" rows.
    static QStringList rows(const Tfrm_main& frm)
    {
        QStringList out;
        for (int r = 0; r < frm.strg_main->RowCount(); ++r)
            out << frm.strg_main->Rows(r).join(u'|');
        return out;
    }
    static QStringList ids(const Tfrm_main& frm) { return frm.strg_main->Cols(0); }

private slots:
    void initTestCase()
    {
        startProgram("main");
        app->Initialize();
        catalogue->sql().exec(kSeed);
    }

    void init()
    {
        ui::forgetSettings();
        ui::freshModule();
    }

    void cleanupTestCase() { endProgram(); }

    // No logon file: the information box, the command's error box, the empty dialog
    // (cancelled); the show handler then fails on the data module's own settings.
    void firstStartCancelled()
    {
        QStringList boxes;
        bool emptyDialog = false;
        DialogDriver driver;
        driver.then(ui::box(boxes))
            .then(ui::box(boxes))
            .then([&](QWidget* w) {
                QCOMPARE(w->windowTitle(), QStringLiteral("Datenbank Anmeldung"));
                emptyDialog = true;
                for (QLineEdit* edit : w->findChildren<QLineEdit*>())
                    emptyDialog = emptyDialog && edit->text().isEmpty();
                QVERIFY(!w->findChild<QPushButton*>("btn_ok")->isEnabled());
                QTest::mouseClick(w->findChild<QPushButton*>("btn_abbrechen"), Qt::LeftButton);
            })
            .then(ui::box(boxes));
        auto frm = start();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(boxes[0], QStringLiteral("Datenbankdaten existieren noch nicht. Legen Sie zuerst "
                                          "eine Datenbank an."));
        QCOMPARE(boxes[1], QStringLiteral("Datenbankdatei wird nicht gefunden!"));
        QVERIFY2(boxes[2].endsWith(kShowSentence), qPrintable(boxes[2]));
        QVERIFY(emptyDialog);
        QCOMPARE(ui::readLogon(), QByteArray("<none>"));
        QCOMPARE(frm->rib_main->ActivePage(), frm->rib_help);
        QCOMPARE(headerWidths(*frm), kLayoutWidths);
        QCOMPARE(rows(*frm), QStringList{"|||||"});
        QCOMPARE(frm->stab_kollektar->Panels(1)->Text(), QString());
        frm->close();
        QVERIFY(!frm->isVisible());
        QCOMPARE(storedState(), QStringList{"<no key>"});
    }

    // The first start a household goes through: root, no password, localhost, a new schema
    // name; the test creates it, OK saves the logon file and opens the empty catalogue.
    void firstStartCreatesCatalogue()
    {
        const std::string name = "kt_first_" + std::to_string(QCoreApplication::applicationPid());
        testdb::Direct().exec("DROP DATABASE IF EXISTS `" + name + "`");
        const QString schema = QString::fromStdString(name);
        QStringList boxes, facts;
        QString hinted;
        DialogDriver driver;
        driver.then(ui::box(boxes))
            .then(ui::box(boxes))
            .then([&](QWidget* w) {
                DialogDriver::Type(w->findChild<QLineEdit*>("edt_user"), "root");
                DialogDriver::Type(w->findChild<QLineEdit*>("edt_server"), "localhost");
                DialogDriver::Type(w->findChild<QLineEdit*>("edt_schema"), schema);
                QTest::mouseClick(w->findChild<QPushButton*>("btn_test"), Qt::LeftButton);
                facts = w->findChild<QPlainTextEdit*>("mem_db")->toPlainText().split(u'\n');
                // The mouse on OK shows its hint, which goes with the dialog.
                QEvent enter(QEvent::Enter);
                QApplication::sendEvent(w->findChild<QPushButton*>("btn_ok"), &enter);
                hinted = Application->Hint;
                QTest::mouseClick(w->findChild<QPushButton*>("btn_ok"), Qt::LeftButton);
            })
            .then(ui::box(boxes, "&Ja"));
        auto frm = start();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(boxes[2], QStringLiteral("Datanbank existiert nicht, soll sie angelegt werden?"));
        QCOMPARE(facts.size(), 7);
        QCOMPARE(facts.last(), QStringLiteral("Schema: ") + schema);
        QCOMPARE(ui::readLogon(), logonOf(schema));
        QCOMPARE(int(QFile::permissions(ui::logonPath()) & 0x0077), 0);
        QCOMPARE(frm->stab_kollektar->Panels(1)->Text(), schema);
        QCOMPARE(hinted, QStringLiteral("OK"));
        QCOMPARE(frm->stab_kollektar->Panels(0)->Text(), QString());
        QCOMPARE(rows(*frm), QStringList{"|||||"}); // an empty catalogue shows one empty row
        QCOMPARE(frm->rib_main->ActivePage(), frm->rib_daten);
        QCOMPARE(testdb::Direct(name).value("select count(*) from information_schema.tables"
                                            " where table_schema = database()"),
                 std::string("7"));
        frm->close();
        testdb::Direct().exec("DROP DATABASE `" + name + "`");
    }

    void startWithLogonFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("endings"); // of the error boxes, in order
        QTest::addColumn<bool>("reached");
        QTest::addColumn<QString>("password"); // as the connection has it afterwards
        const QByteArray schema = QByteArray::fromStdString(catalogue->name());
        const QStringList refused = {
            ". Datenbankverbindung kann nicht geöffnet werden" + kAppSentence, kShowSentence};
        QTest::newRow("four lines")
            << logonOf(QString::fromLatin1(schema)) << QStringList() << true << "";
        QTest::newRow("LF and a fifth line") << "root\n\nlocalhost\n" + schema + "\nüberzählig\n"
                                             << QStringList() << true << "";
        QTest::newRow("three lines")
            << QByteArray("root\r\n\r\nlocalhost\r\n")
            << QStringList{"List index out of bounds (3)" + kAppSentence, kShowSentence} << false
            << "";
        QTest::newRow("server not reachable")
            << logonOf(QString::fromLatin1(schema), "127.0.0.2") << refused << false << "";
        QTest::newRow("password with blanks, refused")
            << "root\r\n  geheim \r\nlocalhost\r\n" + schema + "\r\n"
            << refused << false << "  geheim ";
        // Cut at the NUL, each line would still log on to the catalogue: refused instead.
        const QByteArrayList lines = {"root", "", "localhost", schema};
        for (int i = 0; i < 4; ++i) {
            QByteArrayList withNul = lines;
            withNul[i] += QByteArray("\0x", 2);
            QTest::addRow("a NUL in line %d", i + 1)
                << withNul.join("\r\n") + "\r\n"
                << QStringList{QString::fromUtf8("Zeile %1 enthält ein Nullzeichen: die "
                                                 "Anmeldedaten unter „Datenbank“ neu eingeben "
                                                 "und mit OK speichern")
                                       .arg(i + 1) +
                                   kAppSentence,
                               kShowSentence}
                << false << "";
        }
    }

    void startWithLogonFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, endings);
        QFETCH(bool, reached);
        QFETCH(QString, password);
        ui::writeLogon(file);
        QStringList boxes;
        DialogDriver driver;
        for (int i = 0; i < endings.size(); ++i)
            driver.then(ui::box(boxes));
        auto frm = start();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(boxes.size(), endings.size());
        for (int i = 0; i < endings.size(); ++i)
            QVERIFY2(boxes[i].endsWith(endings[i]), qPrintable(boxes[i]));
        if (reached) {
            QCOMPARE(rows(*frm), (QStringList{"2|Abendland|Adler|Keller|Film|Sachbuch",
                                              "1|Mittag|Zweig|Regal|Buch|Roman",
                                              "3|Zauberberg|Mann|Regal|Buch|Roman"}));
            QCOMPARE(frm->stab_kollektar->Panels(1)->Text(),
                     QString::fromStdString(catalogue->name()));
            QCOMPARE(frm->rib_main->ActivePage(), frm->rib_daten);
        } else {
            QCOMPARE(rows(*frm), QStringList{"|||||"});
            QCOMPARE(frm->stab_kollektar->Panels(1)->Text(), QString());
            QCOMPARE(frm->rib_main->ActivePage(), frm->rib_help);
        }
        QCOMPARE(dat_medium->myc_medium->Password(), password);
        frm->close();
    }

    // The folder of the logon file: the shell folder "Local AppData" with every backslash
    // doubled; a value that is no text fails with the lookup's sentence.
    void logonFolder_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("result"); // the folder, or the failure
        QTest::newRow("windows path") << QVariant(QString("C:\\Users\\x\\AppData\\Local"))
                                      << "C:\\\\Users\\\\x\\\\AppData\\\\Local";
        QTest::newRow("empty") << QVariant(QString()) << "";
        QTest::newRow("no text")
            << QVariant(7)
            << "Invalid data type for 'Local AppData'. Pfad konnte nicht ermittelt werden.";
    }

    void logonFolder()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, result);
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name())));
        DialogDriver driver;
        auto frm = start();
        QCOMPARE(frm->getpfad(),
                 QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        {
            TRegistry reg;
            QVERIFY(reg.OpenKey(
                "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", true));
            if (value.typeId() == QMetaType::Int)
                reg.WriteInteger("Local AppData", value.toInt());
            else
                reg.WriteString("Local AppData", value.toString());
        }
        QString folder = "<failed>";
        const QString failure = testdb::failureOf([&] { folder = frm->getpfad(); });
        QCOMPARE(value.typeId() == QMetaType::Int ? failure : folder, result);
        frm->close();
    }

    // The inventory list from the ribbon: exported as PDF, or printed (to a file here).
    void inventory_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("pdf") << "act_pdf";
        QTest::newRow("print") << "act_print";
    }

    void inventory()
    {
        QFETCH(QString, action);
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name())));
        QTemporaryDir dir;
        const QString file = dir.filePath("inventar.pdf");
        DialogDriver driver;
        if (action == "act_pdf")
            driver.then([](QWidget* w) { DialogDriver::Accept(w); }).then([&](QWidget* w) {
                DialogDriver::Type(w->findChild<QLineEdit*>("fileNameEdit"), file);
                DialogDriver::Accept(w);
            });
        else
            driver.then([&](QWidget* w) {
                DialogDriver::Type(w->findChild<QLineEdit*>("filename"), file);
                DialogDriver::Accept(w);
            });
        auto frm = start();
        frm->findChild<TAction*>(action)->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(driver.Answered(), action == "act_pdf" ? 2 : 1);
        QProcess text;
        text.start("pdftotext", {file, "-"});
        QVERIFY(text.waitForFinished());
        const QString content = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(content.contains("Zauberberg") && content.contains("Abendland"),
                 qPrintable(content));
        frm->close();
    }

    // First run: defaults, the key written at close. Second run: the stored state comes
    // back; the user widens "Titel". Third run: a key without values fails at "top".
    void windowStateAcrossRuns()
    {
        const QByteArray logon = logonOf(QString::fromStdString(catalogue->name()));
        ui::writeLogon(logon);
        {
            DialogDriver driver;
            auto frm = start();
            QCOMPARE(driver.Unexpected.join(","), QString());
            QCOMPARE(headerWidths(*frm), kDefaultWidths);
            QCOMPARE(gridWidths(*frm), minusOne(kDefaultWidths));
            QCOMPARE(storedState().size(), 10); // the key exists, empty until the close
            QCOMPARE(storedState()[0], QStringLiteral("-"));
            const QStringList outer = outerGeometry(*frm);
            frm->close();
            QCOMPARE(storedState(), outer + kDefaultWidths);
        }
        const QStringList stored = {"40",  "60",  "700", "500", "31",
                                    "251", "151", "249", "51",  "71"};
        {
            TRegistry reg;
            QVERIFY(reg.OpenKey("\\Software\\vantoria\\multimedia", false));
            writeState(reg, stored);
        }
        {
            DialogDriver driver;
            auto frm = start();
            QCOMPARE(driver.Unexpected.join(","), QString());
            QCOMPARE(outerGeometry(*frm), stored.mid(0, 4));
            QCOMPARE(headerWidths(*frm), stored.mid(4));
            QCOMPARE(gridWidths(*frm), minusOne(stored.mid(4)));

            // The user drags the right edge of "Titel" 37 pixels to the right.
            THeaderControl* h = frm->hec_main;
            QWidget* v = h->viewport();
            const int edge = h->sectionViewportPosition(1) + h->sectionSize(1) - 1;
            const QPoint from(edge, h->height() / 2), to(edge + 37, h->height() / 2);
            QMouseEvent press(QEvent::MouseButtonPress, from, v->mapToGlobal(from), Qt::LeftButton,
                              Qt::LeftButton, {});
            QMouseEvent move(QEvent::MouseMove, to, v->mapToGlobal(to), Qt::NoButton,
                             Qt::LeftButton, {});
            QMouseEvent release(QEvent::MouseButtonRelease, to, v->mapToGlobal(to), Qt::LeftButton,
                                Qt::NoButton, {});
            QApplication::sendEvent(v, &press);
            QApplication::sendEvent(v, &move);
            QApplication::sendEvent(v, &release);
            QStringList widened = stored.mid(4);
            widened[1] = QString::number(251 + 37);
            QCOMPARE(headerWidths(*frm), widened);
            QCOMPARE(gridWidths(*frm), minusOne(widened));
            QCOMPARE(frm->column_width[1], 251 + 37);
            QCOMPARE(ids(*frm), (QStringList{"2", "1", "3"})); // a drag does not sort
            frm->close();
            QCOMPARE(storedState(), stored.mid(0, 4) + widened);
        }
        QFile::remove(TRegistry::FileName());
        TRegistry().CreateKey("\\Software\\vantoria\\multimedia");
        {
            QStringList boxes;
            DialogDriver driver;
            driver.then(ui::box(boxes));
            auto frm = start();
            QCOMPARE(boxes, QStringList{"Invalid data type for 'top'" + kShowSentence});
            QCOMPARE(frm->rib_main->ActivePage(), frm->rib_help);
            QCOMPARE(headerWidths(*frm), kLayoutWidths);
            const QStringList outer = outerGeometry(*frm);
            frm->close();
            QCOMPARE(storedState(), outer + kLayoutWidths);
        }
    }

    // A start whose show handler fails before it reads the stored state (the server is
    // down): the grid's columns follow the header's layout widths, and the close keeps every
    // stored value the user did not change in that run.
    void unrestoredRunKeepsState_data()
    {
        QTest::addColumn<bool>("user"); // the user moves the window and widens "Titel"
        QTest::newRow("untouched") << false;
        QTest::newRow("moved and widened") << true;
    }

    void unrestoredRunKeepsState()
    {
        QFETCH(bool, user);
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name()), "127.0.0.2"));
        const QStringList stored = {"40",  "60",  "700", "500", "31",
                                    "251", "151", "249", "51",  "71"};
        {
            TRegistry reg;
            QVERIFY(reg.OpenKey("\\Software\\vantoria\\multimedia", true));
            writeState(reg, stored);
        }
        QStringList boxes;
        DialogDriver driver;
        driver.then(ui::box(boxes)).then(ui::box(boxes));
        auto frm = start();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QVERIFY2(boxes.size() == 2 && boxes[1].endsWith(kShowSentence),
                 qPrintable(boxes.join("|")));
        QCOMPARE(headerWidths(*frm), kLayoutWidths);
        QCOMPARE(gridWidths(*frm), minusOne(kLayoutWidths));
        QStringList expected = stored;
        if (user) {
            QApplication::processEvents(); // the user acts once the window is up
            frm->move(frm->frameGeometry().topLeft() + QPoint(13, 17));
            THeaderControl* h = frm->hec_main;
            QWidget* v = h->viewport();
            const int edge = h->sectionViewportPosition(1) + h->sectionSize(1) - 1;
            const QPoint from(edge, h->height() / 2), to(edge + 20, h->height() / 2);
            QTest::mousePress(v, Qt::LeftButton, {}, from);
            QTest::mouseMove(v, to);
            QTest::mouseRelease(v, Qt::LeftButton, {}, to);
            QCOMPARE(frm->hec_main->Sections(1)->Width(), 420);
            QCOMPARE(frm->strg_main->ColWidths(1), 419);
            const QStringList outer = outerGeometry(*frm);
            expected[0] = outer[0];
            expected[1] = outer[1];
            expected[5] = "420";
        }
        frm->close();
        QCOMPARE(storedState(), expected);
    }

    // SIGTERM, SIGINT and SIGHUP, also while a dialog is open, and a message loop that ends
    // otherwise (the desktop session's end) close the main window as the close command does:
    // the state is written, the help window and the connection are closed.
    void endedFromOutside_data()
    {
        QTest::addColumn<int>("sig"); // 0: the loop is ended
        QTest::addColumn<bool>("dialog");
        QTest::newRow("SIGTERM") << int(SIGTERM) << false;
        QTest::newRow("SIGINT") << int(SIGINT) << false;
        QTest::newRow("SIGHUP") << int(SIGHUP) << false;
        QTest::newRow("SIGTERM over the info box") << int(SIGTERM) << true;
        QTest::newRow("loop ends") << 0 << false;
    }

    void endedFromOutside()
    {
        QFETCH(int, sig);
        QFETCH(bool, dialog);
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name())));
        std::unique_ptr<Tfrm_main> frm;
        {
            DialogDriver driver;
            frm = start();
            QCOMPARE(driver.Unexpected.join(","), QString());
        }
        QCOMPARE(Application->MainForm, frm.get());
        frm->act_hilfe->trigger();
        QCOMPARE(ui::openViewers(), 1);
        auto end = [sig] {
            if (sig)
                ::kill(::getpid(), sig);
            else
                QCoreApplication::exit(0);
        };
        if (dialog) // returns once the end has come
            QTimer::singleShot(0, frm->act_infoneu, &QAction::trigger);
        QTimer user;
        connect(&user, &QTimer::timeout, [&] {
            if (dialog && !QApplication::activeModalWidget())
                return;
            user.stop();
            end();
        });
        user.start(0);
        Application->Run();
        QVERIFY(!frm->isVisible());
        QVERIFY(!frm->db_access);
        QVERIFY(!dat_medium->myc_medium->Connected());
        QCOMPARE(ui::openViewers(), 0);
        const QStringList state = storedState();
        QCOMPARE(state.size(), 10);
        QCOMPARE(state.mid(4), kDefaultWidths);
        QCOMPARE(state.mid(0, 4), outerGeometry(*frm));
    }

    // One flag for all columns, inverted at every click; a refresh does not reset it, and a
    // sort after a search shows the whole catalogue again.
    void sortAlternates()
    {
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name())));
        DialogDriver driver;
        driver.then([](QWidget* w) {
            DialogDriver::Type(w->findChild<QLineEdit*>(), "Z%");
            DialogDriver::Accept(w);
        });
        auto frm = start();
        frm->act_suchen->trigger();
        QCOMPARE(ids(*frm), QStringList{"3"});
        clickSection(*frm, 1); // Titel, ascending
        QCOMPARE(ids(*frm), (QStringList{"2", "1", "3"}));
        clickSection(*frm, 2); // Autor, descending
        QCOMPARE(ids(*frm), (QStringList{"1", "3", "2"}));
        // The refresh the media commands run after a change.
        frm->db_access->stop_medilist();
        frm->db_access->start_medlist();
        frm->paint_grid();
        frm->ini_grid();
        QCOMPARE(ids(*frm), (QStringList{"2", "1", "3"}));
        clickSection(*frm, 0); // ID, ascending
        QCOMPARE(ids(*frm), (QStringList{"1", "2", "3"}));
        clickSection(*frm, 0); // ID, descending
        QCOMPARE(ids(*frm), (QStringList{"3", "2", "1"}));
        QCOMPARE(headerWidths(*frm), kDefaultWidths); // the sort leaves the widths alone
        QCOMPARE(driver.Unexpected.join(","), QString());
        frm->close();
    }

    // Scrolled sideways, the list keeps its key column where it is and every caption of the
    // header stays over its column; where "ID" is shown, its divider sizes the key column and a
    // click sorts by the key.
    void sidewaysScrollKeepsKeyAndCaptions()
    {
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name())));
        DialogDriver driver;
        auto frm = start();
        frm->resize(420, frm->height());
        QApplication::processEvents();
        TStringGrid* g = frm->strg_main;
        THeaderControl* h = frm->hec_main;
        // The columns whose caption does not stand over their cells.
        auto misplaced = [&] {
            QStringList out;
            for (int k = 1; k < 6; ++k) {
                const QPoint caption(h->sectionViewportPosition(k), 0);
                const QPoint cells(g->columnViewportPosition(k), 0);
                const int apart = h->viewport()->mapTo(frm.get(), caption).x() -
                                  g->viewport()->mapTo(frm.get(), cells).x();
                if (std::abs(apart) > 1)
                    out << QStringLiteral("%1 by %2").arg(h->Sections(k)->Text()).arg(apart);
            }
            return out;
        };
        QScrollBar* bar = g->horizontalScrollBar();
        QVERIFY(bar->maximum() > 0);
        const int keyWidth = h->Sections(0)->Width();
        const QRect keyCells(0, 0, keyWidth, g->viewport()->geometry().bottom());
        const QRect keyCaption(0, 0, keyWidth, h->height());
        const QImage gridBefore = g->grab().toImage();
        const QImage headerBefore = h->grab().toImage();

        bar->setValue(bar->maximum());
        QApplication::processEvents();
        const QImage gridAfter = g->grab().toImage();
        QVERIFY(gridAfter != gridBefore);
        QCOMPARE(gridAfter.copy(keyCells), gridBefore.copy(keyCells));
        QCOMPARE(h->grab().toImage().copy(keyCaption), headerBefore.copy(keyCaption));
        QCOMPARE(misplaced(), QStringList());

        // Just right of the divider, where the scrolled sections pass beneath it.
        dragInHeader(h, QPoint(keyWidth, h->height() / 2), QPoint(keyWidth + 20, h->height() / 2));
        QCOMPARE(frm->column_width[0], keyWidth + 20);
        QCOMPARE(g->ColWidths(0), keyWidth + 19);
        QApplication::processEvents();
        QCOMPARE(misplaced(), QStringList());

        const QPoint at(keyWidth / 2, h->height() / 2);
        QWidget* target = partAt(h, at);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(h, at));
        QStringList sorted = ids(*frm);
        if (sorted.first() == QLatin1String("3"))
            std::reverse(sorted.begin(), sorted.end());
        QCOMPARE(sorted, (QStringList{"1", "2", "3"}));
        QCOMPARE(driver.Unexpected.join(","), QString());
        frm->close();
    }

    void searches_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("typed"); // "<cancel>": the box is cancelled
        QTest::addColumn<QStringList>("found");
        const QString titles = QStringLiteral("Suche einen Eintrag");
        const QString words = QStringLiteral("Durchsuche die Stichworte");
        QTest::newRow("title pattern") << "act_suchen" << titles << "%a%g" << QStringList{"1", "3"};
        QTest::newRow("whole title, any case")
            << "act_suchen" << titles << "mittag" << QStringList{"1"};
        QTest::newRow("cancel lists all")
            << "act_suchen" << titles << "<cancel>" << QStringList{"1", "2", "3"};
        QTest::newRow("empty pattern") << "act_suchen" << titles << "" << QStringList{""};
        QTest::newRow("quick access") << "act_quick_such" << titles << "Abend%" << QStringList{"2"};
        QTest::newRow("keyword") << "act_worte_such" << words << "Haus" << QStringList{"1"};
        QTest::newRow("keyword cancel: once each")
            << "act_worte_such" << words << "<cancel>" << QStringList{"1", "3"};
    }

    void searches()
    {
        QFETCH(QString, action);
        QFETCH(QString, caption);
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name())));
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            QCOMPARE(w->windowTitle(), caption);
            QCOMPARE(w->findChild<QLabel*>()->text(), QStringLiteral("Suchbegriff"));
            QCOMPARE(w->findChild<QLineEdit*>()->text(), QStringLiteral("%%"));
            if (typed == QLatin1String("<cancel>")) {
                DialogDriver::Type(w->findChild<QLineEdit*>(), "verworfen");
                DialogDriver::Reject(w);
            } else {
                DialogDriver::Type(w->findChild<QLineEdit*>(), typed);
                DialogDriver::Accept(w);
            }
        });
        auto frm = start();
        frm->findChild<TAction*>(action)->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(driver.Answered(), 1);
        QStringList got = ids(*frm);
        got.sort();
        QCOMPARE(got, found);
        frm->close();
    }

    // Texts with 8-bit bytes of every kind show exactly in the list, after the fill, a
    // search for such a character and a sort.
    void eightBitList()
    {
        Catalogue eight("acht");
        eight.sql().exec("insert into kategorie (name) values ('Kat \x80\x9F');"
                         "insert into mediumtyp (typ) values ('Typ \xA0\xFF');"
                         "insert into standort (ort) values ('Ort \x84\x93\x94');"
                         "insert into medium (titel, autor, ort_fk, typ_fk, kategorie_fk) values"
                         " ('Titel \x80\x8A\x9F \xC4\xE4\xFF', 'Autor \x81\x8D\x90', 1, 1, 1),"
                         " ('Zweiter', '', 1, 1, 1)");
        const QString special = QString::fromUtf8(
            "1|Titel €Š\u0178 Ääÿ|Autor \u0081\u008D\u0090|Ort „“”|Typ \u00A0ÿ|Kat €\u0178");
        const QString plain = QString::fromUtf8("2|Zweiter||Ort „“”|Typ \u00A0ÿ|Kat €\u0178");
        ui::writeLogon(logonOf(QString::fromStdString(eight.name())));
        DialogDriver driver;
        driver.then([](QWidget* w) {
            // Typed as a keyboard with the euro sign does; key clicks know no such key.
            w->findChild<QLineEdit*>()->setText(QString::fromUtf8("%€%"));
            DialogDriver::Accept(w);
        });
        auto frm = start();
        QCOMPARE(rows(*frm), (QStringList{special, plain}));
        frm->act_suchen->trigger();
        QCOMPARE(rows(*frm), QStringList{special});
        clickSection(*frm, 1); // by title, in the direction that the earlier sorts left
        QStringList sorted = rows(*frm);
        if (sorted.first() == plain)
            std::reverse(sorted.begin(), sorted.end());
        QCOMPARE(sorted, (QStringList{special, plain}));
        QCOMPARE(driver.Unexpected.join(","), QString());
        frm->close();
    }

    // A failing search shows the error and leaves the grid as it was.
    void searchFailureKeepsGrid()
    {
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name())));
        QStringList boxes;
        DialogDriver driver;
        driver.then([](QWidget* w) { DialogDriver::Accept(w); }).then(ui::box(boxes));
        auto frm = start();
        dat_medium->myc_medium->SetServer("127.0.0.2"); // the connection is gone
        frm->act_worte_such->trigger();
        QCOMPARE(boxes.size(), 1);
        // The store's sentence ends with a full stop: the handler's follows it without another.
        QVERIFY2(boxes[0].endsWith(". Es wurde kein Suchergebnis gefunden. Es ist ein schwerer "
                                   "Ausnahmefehler aufgetreten."),
                 qPrintable(boxes[0]));
        QCOMPARE(ids(*frm), (QStringList{"2", "1", "3"}));
        frm->close();
    }

    void hints_data()
    {
        QTest::addColumn<QString>("under");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ribbon item") << "act_neu"
                                     << "Neuer Eintrag erstellen";
        QTest::newRow("quick access") << "quick_neu"
                                      << "Neues Medim anlgegen";
        QTest::newRow("ribbon page") << "rib_daten"
                                     << "Kollektar bedienen";
        QTest::newRow("header") << "hec_main"
                                << "Spaltenbreite bestimmen oder sortieren";
        QTest::newRow("list") << "strg_main"
                              << "";
    }

    void hints()
    {
        QFETCH(QString, under);
        QFETCH(QString, shown);
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name())));
        DialogDriver driver;
        auto frm = start();
        frm->stab_kollektar->Panels(0)->SetText("<vorher>");
        QWidget* w = frm->findChild<QWidget*>(under);
        QVERIFY(w);
        if (auto* view = qobject_cast<QAbstractScrollArea*>(w))
            w = view->viewport();
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(w, &enter);
        QCOMPARE(frm->stab_kollektar->Panels(0)->Text(), shown);
        frm->close();
    }

    // The help viewer runs beside the program, opened at the page of the request: the help
    // command asks for 101 though it carries 112, the ribbon's help button and the list for
    // 102, a command for its own. Each request closes the viewer before; closing the main
    // window closes it; none of it shows a message of the program's own.
    void help()
    {
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name())));
        DialogDriver driver;
        auto frm = start();
        QVERIFY(!ui::helpCollection().isEmpty());
        QCOMPARE(frm->act_hilfe->HelpContext, 112);
        frm->act_hilfe->trigger();
        frm->act_hilfe->trigger();
        QCOMPARE(ui::openViewers(), 1);
        QCOMPARE(ui::shownTopic(*frm), ui::topicOf(101));
        QCOMPARE(frm->help_info.cbSize, 112u);
        QCOMPARE(frm->help_info.lpFile, QStringLiteral("assistant"));
        QCOMPARE(frm->help_info.lpVerb, QStringLiteral("open"));
        QCOMPARE(frm->help_info.nShow, SW_SHOWNORMAL);
        const QStringList arguments = QProcess::splitCommand(frm->help_info.lpParameters);
        QCOMPARE(arguments.mid(0, 2), QStringList({"-collectionFile", ui::helpCollection()}));

        QTest::mouseClick(frm->rib_main->HelpButton(), Qt::LeftButton);
        QCOMPARE(ui::shownTopic(*frm), ui::topicOf(102));
        frm->activateWindow();
        QApplication::setActiveWindow(frm.get());
        frm->strg_main->setFocus();
        QTest::keyClick(frm->strg_main, Qt::Key_F1);
        QCOMPARE(ui::shownTopic(*frm), ui::topicOf(102));
        frm->rib_main->SetActivePage(frm->rib_extra);
        ribbonButton(*frm, "act_bank")->setFocus();
        QTest::keyClick(ribbonButton(*frm, "act_bank"), Qt::Key_F1);
        QCOMPARE(ui::shownTopic(*frm), ui::topicOf(111));
        QCOMPARE(ui::openViewers(), 1);

        frm->act_close->trigger();
        QVERIFY(!frm->isVisible());
        QCOMPARE(ui::openViewers(), 0);
        QVERIFY(!frm->db_access);
        QCOMPARE(driver.Unexpected, QStringList());
    }

    // The ribbon as laid out: pages, groups, items with their captions and pictures.
    void ribbonLayout()
    {
        ui::writeLogon(logonOf(QString::fromStdString(catalogue->name())));
        DialogDriver driver;
        auto frm = start();
        QStringList seen;
        for (int p = 0; p < frm->rib_main->TabCount(); ++p) {
            TRibbonPage* page = frm->rib_main->Page(p);
            for (TRibbonGroup* g : page->Groups()) {
                QStringList items;
                for (TRibbonButton* b : g->Items())
                    items << b->text() + "@" + QString::number(b->Action()->ImageIndex);
                seen << page->Caption + "/" + g->Caption() + ": " + items.join(", ");
            }
        }
        QCOMPARE(seen,
                 (QStringList{QString::fromUtf8("Daten/Medien: &Neu...@0, &Bearbeiten...@2, "
                                                "&Löschen...@1, &Suchen@13"),
                              "Extra/Metadaten: &Mediumtyp...@7, &Kategorie...@5, &Standort...@6",
                              "Extra/Datenbank: &Stichwortsuche@15, &Datenbank@9",
                              "Extra/Drucken: &Drucken@16, &PDF-Inventar@17",
                              "Hilfe/Hilfe: &Hilfe@4, &Info...@3"}));
        QStringList quick;
        for (TRibbonButton* b : frm->rib_main->QuickAccessItems())
            quick << b->text() + "@" + QString::number(b->Action()->ImageIndex);
        QCOMPARE(quick, (QStringList{"&Neu@11", "&Bearbeiten@12", "&Suchen@14"}));
        QStringList menu;
        for (QAction* a : frm->RibbonApplicationMenuBar1->actions()) {
            menu << a->text();
            if (a->menu())
                for (QAction* sub : a->menu()->actions())
                    menu << "  " + sub->text();
        }
        QCOMPARE(menu, (QStringList{"&Kollektar Schliessen", "  &Datenbank", "  &Standort...",
                                    "  &Kategorie...", "  &Mediumtyp...", "  ", "  &Hilfe", "",
                                    "&Kollektar Schliessen"}));
        QCOMPARE(frm->act_pdf->HelpType, htKeyword);
        QCOMPARE(frm->act_close->HelpContext, 0);
        frm->close();
    }
};

QTEST_MAIN(TestMainFrm)
#include "test_main_frm.moc"
