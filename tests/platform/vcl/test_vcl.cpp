// The window-side platform: error and help dispatch, message and input boxes, registry,
// hints and the shell that starts programs.
#include "platform/rtl/fileutil.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/registry.h"
#include "platform/vcl/shell.h"
#include "platform/vcl/string_grid.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/processes.h"

#include "platform/vcl/dbnavigator.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <sys/types.h>

namespace {

// Whether a process runs: it is there and has not ended (an ended one may wait to be reaped).
bool running(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && line.mid(close + 2, 1) != "Z";
}

void pressButton(QWidget* dialog, const QString& text)
{
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (b->text() == text) {
            QTest::mouseClick(b, Qt::LeftButton);
            return;
        }
    QFAIL(qPrintable("no button " + text));
}

} // namespace

class TestVcl : public QObject {
    Q_OBJECT
    std::unique_ptr<TApplication> app;
    QStringList shown;

    QTemporaryDir home;

private slots:
    void initTestCase()
    {
        // A home of its own: the registry file of this test meets no other's.
        qputenv("HOME", QFile::encodeName(home.path()));
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(TRegistry::FileName());
        app = std::make_unique<TApplication>();
        app->OnException = [this](QObject*, const Exception& e) { shown << e.Message; };
    }
    void init() { shown.clear(); }

    void guardRoutesErrors()
    {
        Guard(nullptr, [] { throw EConvertError("kaputt"); });
        Guard(nullptr, [] { throw EAbort(); });
        QCOMPARE(shown, QStringList({"kaputt"}));

        // Any other error ends the message loop and comes out of Run.
        QTimer::singleShot(0, [] { Guard(nullptr, [] { throw std::logic_error("fremd"); }); });
        try {
            app->Run();
            QFAIL("the loop went on");
        } catch (const std::logic_error& e) {
            QCOMPARE(QString(e.what()), QStringLiteral("fremd"));
        }
    }

    void bindGuardsSignals()
    {
        QLineEdit edit;
        Bind(&edit, &QLineEdit::textChanged, [] { throw Exception("aus dem Signal"); });
        edit.setText("x");
        QCOMPARE(shown, QStringList({"aus dem Signal"}));
    }

    void messageBoxes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("title");
        QTest::newRow("question yes")
            << int(mtConfirmation) << "&Ja" << int(mrYes) << QString::fromUtf8("Bestätigen");
        QTest::newRow("question no")
            << int(mtConfirmation) << "&Nein" << int(mrNo) << QString::fromUtf8("Bestätigen");
        QTest::newRow("question escape")
            << int(mtConfirmation) << "<esc>" << int(mrNo) << QString::fromUtf8("Bestätigen");
        QTest::newRow("error ok") << int(mtError) << "OK" << int(mrOk) << "Fehler";
        QTest::newRow("information escape")
            << int(mtInformation) << "<esc>" << int(mrOk) << "Information";
    }
    void messageBoxes()
    {
        QFETCH(int, type);
        QFETCH(QString, press);
        QFETCH(int, result);
        QFETCH(QString, title);
        QString seenTitle, seenText;
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            seenTitle = w->windowTitle();
            seenText = static_cast<QMessageBox*>(w)->text();
            if (press == "<esc>")
                QTest::keyClick(w, Qt::Key_Escape);
            else
                pressButton(w, press);
        });
        const bool question = type == mtConfirmation;
        const int got = question ? MessageDlg("Wirklich?", mtConfirmation, {mbYes, mbNo}, 0)
                                 : MessageDlg("Text", TMsgDlgType(type), {mbOK}, 0);
        QCOMPARE(got, result);
        QCOMPARE(seenTitle, title);
        QCOMPARE(seenText, question ? QStringLiteral("Wirklich?") : QStringLiteral("Text"));
    }

    void inputBox()
    {
        DialogDriver driver;
        driver
            .then([](QWidget* w) {
                QCOMPARE(w->windowTitle(), QStringLiteral("Suche"));
                QCOMPARE(w->findChild<QLabel*>()->text(), QStringLiteral("Suchbegriff"));
                QCOMPARE(w->findChild<QLineEdit*>()->text(), QStringLiteral("%%"));
                DialogDriver::Type(w->findChild<QLineEdit*>(), "Haus%");
                pressButton(w, "OK");
            })
            .then([](QWidget* w) {
                DialogDriver::Type(w->findChild<QLineEdit*>(), "verworfen");
                pressButton(w, "Abbrechen");
            });
        QCOMPARE(InputBox("Suche", "Suchbegriff", "%%"), QStringLiteral("Haus%"));
        QCOMPARE(InputBox("Suche", "Suchbegriff", "%%"), QStringLiteral("%%"));
    }

    // Caption, prompt and field show whole, in a box the window manager cannot make smaller.
    void inputBoxShowsWhole_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("title search") << QStringLiteral("Suche einen Eintrag");
        QTest::newRow("keyword search") << QStringLiteral("Durchsuche die Stichworte");
    }
    void inputBoxShowsWhole()
    {
        QFETCH(QString, caption);
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            QFont titleFont = w->font();
            titleFont.setBold(true);
            const int titleBar = w->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, w);
            // The caption beside the title bar's icon and close box.
            QVERIFY(w->width() >=
                    QFontMetrics(titleFont).horizontalAdvance(caption) + 3 * titleBar);
            auto* label = w->findChild<QLabel*>();
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
            QVERIFY(label->height() >= label->fontMetrics().height());
            // Room for a search text of 40 characters.
            auto* edit = w->findChild<QLineEdit*>();
            QVERIFY(edit->width() >= 40 * edit->fontMetrics().averageCharWidth());
            QCOMPARE(w->minimumSize(), w->maximumSize());
            QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
            pressButton(w, "OK");
        });
        QCOMPARE(InputBox(caption, "Suchbegriff", "%%"), QStringLiteral("%%"));
        QCOMPARE(driver.Answered(), 1);
    }

    // A click on a cell of the fixed column makes its row current, and a double click there
    // counts as one on the grid.
    void gridFixedColumn()
    {
        TStringGrid grid(QStringLiteral("grid"), nullptr);
        grid.SetColCount(3);
        grid.SetRowCount(3);
        grid.SetCol(0, {"1", "2", "3"});
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        int doubles = 0;
        connect(&grid, &TStringGrid::DblClick, this, [&] { ++doubles; });
        QPoint at =
            grid.viewport()->mapTo(&grid, grid.visualRect(grid.model()->index(2, 1)).center());
        at.setX(grid.frameWidth() + 3);
        QWidget* key = grid.childAt(at);
        QVERIFY(key);
        QTest::mouseClick(key, Qt::LeftButton, {}, key->mapFrom(&grid, at));
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Col(), 1);
        QTest::mouseDClick(key, Qt::LeftButton, {}, key->mapFrom(&grid, at));
        QCOMPARE(doubles, 1);
    }

    // A column keeps its width when it becomes fixed, and again when it becomes free: one
    // widened while fixed comes back at that width.
    void gridColumnKeepsWidth()
    {
        TStringGrid grid(QStringLiteral("grid"), nullptr);
        grid.SetColCount(4);
        grid.SetRowCount(2);
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const int widths[] = {40, 50, 60, 70};
        for (int c = 0; c < 4; ++c)
            grid.SetColWidths(c, widths[c]);
        auto all = [&] {
            QList<int> out;
            for (int c = 0; c < 4; ++c)
                out << grid.ColWidths(c);
            return out;
        };
        grid.SetFixedCols(3);
        QCOMPARE(all(), (QList<int>{40, 50, 60, 70}));
        grid.SetColWidths(2, 33);
        grid.SetFixedCols(0);
        QCOMPARE(all(), (QList<int>{40, 50, 33, 70}));
        // Shown at those widths, with the grid line after each cell.
        for (int c = 0; c < 4; ++c) {
            QVERIFY(!grid.isColumnHidden(c));
            QCOMPARE(grid.visualRect(grid.model()->index(0, c)).width(), all()[c]);
            QCOMPARE(grid.columnWidth(c), all()[c] + 1);
        }
        grid.SetFixedCols(1);
        QCOMPARE(all(), (QList<int>{40, 50, 33, 70}));
    }

    // A column given as lines of code page 1252 bytes shows them exactly; the grid keeps its
    // own view of them, whatever becomes of the list later.
    void gridPackedColumn()
    {
        TStringGrid grid(QStringLiteral("grid"), nullptr);
        grid.SetColCount(3);
        grid.SetRowCount(4);
        TStringList list;
        list.Add(QStringLiteral("vorne"));
        for (const char* line : {"\x80\x8A\x9F", "", "\xA0\xE4\xFF", "Mittag", "zu viel"})
            list.AddBytes(line, std::strlen(line));
        grid.SetCol(1, list);
        const QStringList shown = {"vorne", QString::fromUtf8("€ŠŸ"), "",
                                   QString::fromUtf8("\u00A0äÿ")};
        QCOMPARE(grid.Cols(1), shown);
        QCOMPARE(grid.model()->data(grid.model()->index(1, 1)).toString(), shown[1]);

        list.Delete(list.Count() - 1);
        list.Delete(list.Count() - 1);
        list.AddBytes("neu", 3);
        list[0] = QStringLiteral("anders");
        QCOMPARE(grid.Cols(1), shown);

        grid.SetCells(1, 2, QStringLiteral("gesetzt"));
        QCOMPARE(grid.Cols(1), (QStringList{shown[0], shown[1], "gesetzt", shown[3]}));
        grid.SetRowCount(2);
        grid.SetRowCount(4);
        QCOMPARE(grid.Cols(1), (QStringList{shown[0], shown[1], "", ""}));
    }

    void registry()
    {
        {
            TRegistry reg;
            QVERIFY(!reg.KeyExists("\\Software\\vantoria\\multimedia"));
            QVERIFY(!reg.OpenKey("\\Software\\vantoria\\multimedia", false));
            QVERIFY(reg.CreateKey("\\Software\\vantoria\\multimedia"));
            QVERIFY(reg.KeyExists("Software\\Vantoria\\MULTIMEDIA")); // letter case ignored
            QVERIFY(reg.KeyExists("Software\\vantoria"));
            QVERIFY(reg.OpenKey("\\Software\\vantoria\\multimedia", false));
            try {
                reg.ReadInteger("top");
                QFAIL("a missing value was read");
            } catch (const ERegistryException& e) {
                QCOMPARE(e.Message, QStringLiteral("Invalid data type for 'top'"));
            }
            reg.WriteInteger("top", -12);
            reg.WriteInteger("column1/x", 250); // a name with a slash stays one value
            reg.WriteString("Name", QString::fromUtf8("Müller"));
            reg.CloseKey();
        }
        TRegistry reg; // read back from the file
        QVERIFY(reg.OpenKey("\\Software\\vantoria\\multimedia", false));
        QCOMPARE(reg.ReadInteger("TOP"), -12);
        QCOMPARE(reg.ReadInteger("column1/x"), 250);
        QCOMPARE(reg.ReadString("name"), QString::fromUtf8("Müller"));
        QCOMPARE(reg.ReadString("missing"), QString());
        QVERIFY_THROWS_EXCEPTION(ERegistryException, reg.ReadString("top"));
        QVERIFY_THROWS_EXCEPTION(ERegistryException, reg.ReadInteger("name"));
        QCOMPARE(int(QFile::permissions(TRegistry::FileName()) & 0x0077), 0); // owner only

        // The shell folder of the user's local data.
        QVERIFY(reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            true));
        const QString folder = reg.ReadString("Local AppData");
        QCOMPARE(folder, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        QVERIFY(QDir(folder).exists());
    }

    void windowsPaths()
    {
        QCOMPARE(NativePath("C:\\\\Users\\\\x\\multimedia.dbs"),
                 QStringLiteral("C:/Users/x/multimedia.dbs"));
        QCOMPARE(NativePath("/home/x\\multimedia.dbs"), QStringLiteral("/home/x/multimedia.dbs"));
        QCOMPARE(ExtractFilePath("/opt/kollektar/kollektar"), QStringLiteral("/opt/kollektar/"));
    }

    void hints()
    {
        QWidget window;
        auto* inner = new QWidget(&window);
        auto* leaf = new QLabel(inner);
        SetHint(inner, "Kurz|Lange Erklärung");
        QCOMPARE(GetLongHint(GetHint(leaf)), QString::fromUtf8("Lange Erklärung"));
        QCOMPARE(GetShortHint("Kurz|Lang"), QStringLiteral("Kurz"));
        QCOMPARE(GetLongHint("Ohne Strich"), QStringLiteral("Ohne Strich"));
        QCOMPARE(GetHint(&window), QString());
        QString seen = "<none>";
        app->OnHint = [&](QObject*) { seen = app->Hint; };
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(leaf, &enter);
        QCOMPARE(seen, QString::fromUtf8("Lange Erklärung"));
        QApplication::sendEvent(&window, &enter);
        QCOMPARE(seen, QString());
        app->OnHint = nullptr;
    }

    void helpDispatch()
    {
        QStringList asked;
        app->OnHelp = [&](quint16 command, qint64 data, bool& callHelp) {
            asked << (command == HELP_CONTEXT ? QString::number(data)
                      : command == HELP_KEY   ? HelpRequestKeyword(data)
                                              : QStringLiteral("?"));
            callHelp = false;
            return false;
        };
        QWidget window;
        SetHelpContext(&window, 102);
        auto* edit = new QLineEdit(&window);
        auto* named = new QLineEdit(&window);
        SetHelpKeyword(named, QString::fromUtf8("Jahrzahl für Bücher"));
        window.show();
        QApplication::setActiveWindow(&window);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_F1); // the field has none: its window's context
        named->setFocus();
        QTest::keyClick(named, Qt::Key_F1); // a keyword instead of a context
        app->HelpContext(0);                // no context: nothing asked
        QCOMPARE(asked, QStringList({"102", QString::fromUtf8("Jahrzahl für Bücher")}));
        app->OnHelp = nullptr;
    }

    // A program started by the shell: its parameters as a command line splits them, German,
    // in the folder asked for, found on the search path.
    void startsPrograms()
    {
        QTemporaryDir bin;
        const QString script = bin.filePath("zeige-parameter");
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n"
                   "{ pwd; echo \"$LC_ALL $LANGUAGE\"; for a in \"$@\"; do echo \"[$a]\"; done; } "
                   ">\"$0.out\"\n");
        file.close();
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ":" + path);

        SHELLEXECUTEINFOW info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpFile = "zeige-parameter";
        info.lpParameters = "-collectionFile \"/opt/mit Leerzeichen/hilfe.qhc\" -hide bookmarks";
        info.lpDirectory = bin.path();
        const bool started = ShellExecuteExW(&info);
        qputenv("PATH", path);
        QVERIFY(started);
        QVERIFY(info.hProcess);
        QTRY_VERIFY(!ProcessRunning(info.hProcess));
        EndProcess(info.hProcess);
        QFile out(script + ".out");
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(
            QString::fromUtf8(out.readAll()).split(u'\n', Qt::SkipEmptyParts),
            (QStringList{QDir(bin.path()).canonicalPath(), "de_DE.UTF-8 de", "[-collectionFile]",
                         "[/opt/mit Leerzeichen/hilfe.qhc]", "[-hide]", "[bookmarks]"}));
    }

    // A program kept by its handle runs until it is ended; ending waits until it has gone.
    void endsPrograms()
    {
        SHELLEXECUTEINFOW info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpFile = "sleep";
        info.lpParameters = "60";
        QVERIFY(ShellExecuteExW(&info));
        QVERIFY(ProcessRunning(info.hProcess));
        QCOMPARE(testdb::runningChildren("sleep"), 1);
        EndProcess(info.hProcess);
        QCOMPARE(testdb::runningChildren("sleep"), 0);
        EndProcess(nullptr); // nothing to end
        QVERIFY(!ProcessRunning(nullptr));
    }

    // A kept program ends with the program that keeps it, also when that one is killed
    // outright and has no say.
    void keptProgramEndsWithItsKeeper()
    {
        QProcess keeper;
        keeper.start(QStringLiteral(KOLLEKTAR_KEEPER), {});
        QVERIFY(keeper.waitForStarted());
        QVERIFY(keeper.waitForReadyRead());
        const auto kept = static_cast<pid_t>(keeper.readLine().trimmed().toLongLong());
        QVERIFY(kept > 0);
        QVERIFY(running(kept));
        ::kill(static_cast<pid_t>(keeper.processId()), SIGKILL);
        QVERIFY(keeper.waitForFinished());
        const bool ended = QTest::qWaitFor([&] { return !running(kept); });
        if (!ended)
            ::kill(kept, SIGKILL);
        QVERIFY(ended);
    }

    // A program that is not there starts nothing and says nothing.
    void missingProgram_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("on the search path") << "kollektar-gibt-es-nicht";
        QTest::newRow("in a folder") << "/nirgends/assistant";
    }
    void missingProgram()
    {
        QFETCH(QString, file);
        DialogDriver driver;
        SHELLEXECUTEINFOW info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpFile = file;
        QVERIFY(!ShellExecuteExW(&info));
        QVERIFY(!info.hProcess);
        QApplication::processEvents();
        QCOMPARE(driver.Unexpected, QStringList());
    }

    // Qt's own texts come in German once the application is initialised, whatever the
    // locale (the test runs under C.UTF-8); the platform's own are German as they stand.
    void germanTexts_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("german");
        QTest::newRow("standard button") << "button"
                                         << "Abbrechen";
        QTest::newRow("question box") << "yes"
                                      << "&Ja";
        QTest::newRow("file dialog") << "file"
                                     << "Suchen in:";
        QTest::newRow("print dialog") << "print"
                                      << "Drucken";
        QTest::newRow("navigator hint") << "navigator" << QString::fromUtf8("Datensatz löschen");
        // Formats as in Germany: the calendar's months, the decimal comma of the page setup's
        // margins (its digits left out).
        QTest::newRow("calendar month") << "calendar"
                                        << "Dezember";
        QTest::newRow("page setup margin") << "margin"
                                           << ",mm";
        QTest::newRow("file dialog, a file's date") << "file date"
                                                    << "11.12.24 05:29";
    }

    void germanTexts()
    {
        QFETCH(QString, what);
        QFETCH(QString, german);
        app->Initialize();
        QString text;
        if (what == "button") {
            QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
            text = box.button(QDialogButtonBox::Cancel)->text();
        } else if (what == "yes") {
            QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
            text = box.button(QMessageBox::Yes)->text();
        } else if (what == "file") {
            QFileDialog dialog;
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            text = dialog.findChild<QLabel*>("lookInLabel")->text();
        } else if (what == "print") {
            QPrinter printer;
            QPrintDialog dialog(&printer);
            text = dialog.windowTitle();
        } else if (what == "calendar") {
            QCalendarWidget calendar;
            calendar.setCurrentPage(2024, 12);
            text = calendar.findChild<QToolButton*>("qt_calendar_monthbutton")->text();
        } else if (what == "margin") {
            QPrinter printer;
            QPageSetupDialog dialog(&printer);
            text = dialog.findChild<QDoubleSpinBox*>("topMargin")->text();
            text.remove(QRegularExpression(QStringLiteral("[0-9]")));
        } else if (what == "file date") {
            QTemporaryDir folder;
            QFile file(folder.filePath("liste.pdf"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setFileTime(QDateTime(QDate(2024, 12, 11), QTime(5, 29)),
                                     QFileDevice::FileModificationTime));
            QFileDialog dialog(nullptr, QString(), folder.path());
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.show();
            auto* view = dialog.findChild<QTreeView*>("treeView");
            QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 1);
            text = view->model()->index(0, 3, view->rootIndex()).data().toString();
        } else {
            TDBNavigator navigator(nullptr);
            text = navigator.Button(nbDelete)->toolTip();
        }
        QCOMPARE(text, german);
    }
};

QTEST_MAIN(TestVcl)
#include "test_vcl.moc"
