// The three master-data dialogs, run as the main window's commands run them, driven by
// mouse and keyboard against a catalogue on the server.
#include "platform/vcl/application.h"
#include "platform/vcl/dbgrid.h"
#include "platform/vcl/dbnavigator.h"
#include "tests/store/catalogue.h"
#include "tests/support/checks.h"
#include "ui/kategorie_dlg.h"
#include "ui/standort_frm.h"
#include "ui/typ_dlg.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

using testdb::Catalogue;

namespace {

struct Dialog {
    const char* tag;
    const char* table;
    const char* key;
    const char* name;
    std::function<MasterDlg*()> make;
    // The named components, in their order.
    std::function<std::vector<QWidget*>(MasterDlg&)> members;
    void (Db_access::*open)();
    void (Db_access::*close)();
    TMyDataSource* Tdat_medium::*source;
    const char* caption;
    QSize client;
    const char* layout; // names and places of the components
};

template <class T> std::function<MasterDlg*()> maker()
{
    return [] { return new T(nullptr); };
}

const Dialog dialogs[] = {
    {"categories",
     "kategorie",
     "kategorie_pk",
     "name",
     maker<Tdlg_kategorie>(),
     [](MasterDlg& d) -> std::vector<QWidget*> {
         auto& k = static_cast<Tdlg_kategorie&>(d);
         return {k.dbn_kategorie, k.dbg_kategorie, k.btn_kategorie, k.btn_help};
     },
     &Db_access::open_kat,
     &Db_access::clos_kat,
     &Tdat_medium::myds_kategorie,
     "Kategorien",
     {409, 675},
     "dbn_kategorie 0,0 409x25; dbg_kategorie 0,25 409x584; btn_kategorie 120,632 75x25; "
     "btn_help 216,632 75x25"},
    {"types",
     "mediumtyp",
     "mediumtyp_pk",
     "typ",
     maker<Tdlg_typ>(),
     [](MasterDlg& d) -> std::vector<QWidget*> {
         auto& t = static_cast<Tdlg_typ&>(d);
         return {t.dbn_typ, t.dbg_typ, t.btn_typ, t.btn_help};
     },
     &Db_access::open_typ,
     &Db_access::clos_typ,
     &Tdat_medium::myds_typ,
     "Medientypen",
     {358, 655},
     "dbn_typ 0,0 358x25; dbg_typ 0,25 358x576; btn_typ 96,622 75x25; btn_help 177,622 75x25"},
    {"locations",
     "standort",
     "standort_pk",
     "ort",
     maker<Tfrm_standort>(),
     [](MasterDlg& d) -> std::vector<QWidget*> {
         auto& s = static_cast<Tfrm_standort&>(d);
         return {s.dbn_standort, s.dbg_standort, s.btn_close, s.btn_help};
     },
     &Db_access::open_ort,
     &Db_access::clos_ort,
     &Tdat_medium::myds_standort,
     "Standorte verwalten",
     {296, 702},
     "dbn_standort 0,0 296x25; dbg_standort 0,25 296x608; btn_close 48,656 75x25; "
     "btn_help 160,656 75x25"},
};

const Dialog& categories = dialogs[0];
const Dialog& locations = dialogs[2];

void addDialogs()
{
    QTest::addColumn<int>("which");
    for (int i = 0; i < 3; ++i)
        QTest::newRow(dialogs[i].tag) << i;
}

// Closes the dialog when the test's steps are done, also when one of them failed.
struct CloseAtEnd {
    QDialog& dialog;
    ~CloseAtEnd()
    {
        if (dialog.isVisible())
            dialog.close();
    }
};

// Runs the dialog as the main window's command does: create, open the table, show modally,
// close the table, reconnect, destroy. `steps` work the shown dialog.
void runCommand(const Dialog& d, const std::function<void(MasterDlg&)>& steps)
{
    Db_access db;
    std::unique_ptr<MasterDlg> dialog(d.make());
    (db.*d.open)();
    bool ran = false;
    QTimer::singleShot(0, dialog.get(), [&] {
        CloseAtEnd close{*dialog};
        ran = true;
        steps(*dialog);
    });
    dialog->exec();
    (db.*d.close)();
    db.db_stop();
    db.db_start();
    dialog.reset();
    QVERIFY(ran);
}

TDBGrid* gridOf(MasterDlg& d)
{
    return d.findChild<TDBGrid*>();
}

TDBNavigator* navigatorOf(MasterDlg& d)
{
    return d.findChild<TDBNavigator*>();
}

void click(QAbstractButton* button)
{
    QVERIFY(button);
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

void click(MasterDlg& d, TNavigateBtn button)
{
    click(navigatorOf(d)->Button(button));
}

// The grid's visible cells, row by row.
QStringList shown(TDBGrid* grid)
{
    QStringList out;
    const QAbstractItemModel* m = grid->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                row << m->index(r, c).data().toString();
        out << row.join(u'|');
    }
    return out;
}

// Types text as key presses, umlauts included.
void type(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QLineEdit* editorOf(TDBGrid* grid)
{
    for (QLineEdit* e : grid->findChildren<QLineEdit*>())
        if (!e->isHidden())
            return e;
    return nullptr;
}

// Double-clicks a cell, which opens its editor.
QLineEdit* editCell(TDBGrid* grid, int row, const char* field)
{
    const QModelIndex at = grid->model()->index(row, grid->FieldColumn(QLatin1String(field)));
    const QPoint centre = grid->visualRect(at).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre);
    return editorOf(grid);
}

// Answers the next message box with the button of the given caption; its text lands in
// `text`.
void answer(const QString& caption, QString* text)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        *text = box->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == caption)
                QTest::mouseClick(b, Qt::LeftButton);
        if (box->isVisible())
            box->done(-1);
    });
    timer->start(10);
}

std::string names(Catalogue& cat, const Dialog& d)
{
    std::string out;
    for (const auto& row : cat.sql().rows(std::string("select ") + d.name + " from " + d.table +
                                          " order by " + d.key))
        out += (out.empty() ? "" : "|") + row[0];
    return out;
}

void addNames(Catalogue& cat, const Dialog& d, const std::string& values)
{
    cat.sql().exec(std::string("insert into ") + d.table + " (" + d.name + ") values " + values);
}

} // namespace

class TestMasterDlg : public QObject {
    Q_OBJECT

    std::unique_ptr<TApplication> app_;
    QStringList errors_;
    QList<qint64> helps_;

private slots:
    void initTestCase()
    {
        app_ = std::make_unique<TApplication>();
        Application->OnException = [this](QObject*, const Exception& e) { errors_ << e.Message; };
        Application->OnHelp = [this](quint16, qint64 data, bool& callHelp) {
            helps_ << data;
            callHelp = false;
            return false;
        };
    }

    void init()
    {
        errors_.clear();
        helps_.clear();
    }

    // Each opening, the second with the data source disabled until the dialog exists, shows
    // the name column alone; help asks for 103 and Schließen closes.
    void keyColumnHiddenAtEveryOpening_data() { addDialogs(); }
    void keyColumnHiddenAtEveryOpening()
    {
        QFETCH(int, which);
        const Dialog& d = dialogs[which];
        Catalogue cat("mdlg_open");
        addNames(cat, d, "('Alpha'), ('Beta')");
        for (int opening = 1; opening <= 2; ++opening) {
            runCommand(d, [&](MasterDlg& dlg) {
                QCOMPARE(dlg.windowTitle(), QString::fromUtf8(d.caption));
                QCOMPARE(dlg.size(), d.client);
                QStringList layout;
                for (QWidget* w : d.members(dlg))
                    layout << QStringLiteral("%1 %2,%3 %4x%5")
                                  .arg(w->objectName())
                                  .arg(w->x())
                                  .arg(w->y())
                                  .arg(w->width())
                                  .arg(w->height());
                QCOMPARE(layout.join(QStringLiteral("; ")), QString::fromUtf8(d.layout));

                TDBGrid* grid = gridOf(dlg);
                QCOMPARE(grid->model()->columnCount(), 2);
                QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(),
                         QLatin1String(d.key));
                QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(),
                         QLatin1String(d.name));
                QVERIFY(grid->isColumnHidden(0));
                QVERIFY(!grid->isColumnHidden(1));
                QCOMPARE(shown(grid), QStringList({"Alpha", "Beta"}));
                QCOMPARE(grid->currentIndex().column(), 1);

                auto* help = qobject_cast<QPushButton*>(d.members(dlg)[3]);
                QCOMPARE(help->text(), QStringLiteral("&Hilfe"));
                click(help);
                QCOMPARE(helps_, QList<qint64>({103}));
                helps_.clear();

                auto* close = qobject_cast<QPushButton*>(d.members(dlg)[2]);
                QCOMPARE(close->text(), QString::fromUtf8("&Schließen"));
                QTest::keyClick(grid, Qt::Key_Escape);
                QVERIFY(dlg.isVisible());
                click(close);
                QVERIFY(!dlg.isVisible());
            });
            QCOMPARE(errors_, QStringList());
            QVERIFY(!(dat_medium->*d.source)->Enabled());
        }
    }

    void emptyTableGetsItsFirstRow_data() { addDialogs(); }
    void emptyTableGetsItsFirstRow()
    {
        QFETCH(int, which);
        const Dialog& d = dialogs[which];
        Catalogue cat("mdlg_empty");
        runCommand(d, [&](MasterDlg& dlg) {
            TDBGrid* grid = gridOf(dlg);
            QCOMPARE(grid->model()->rowCount(), 0);
            QVERIFY(!navigatorOf(dlg)->Button(nbDelete)->isEnabled());
            click(dlg, nbInsert);
            QCOMPARE(grid->model()->rowCount(), 1);
            QLineEdit* editor = editorOf(grid);
            QVERIFY(editor);
            type(editor, QString::fromUtf8("Erstes Fach ä"));
            click(dlg, nbPost);
            QCOMPARE(names(cat, d), std::string("Erstes Fach \xe4"));
            QCOMPARE(shown(grid), QStringList({QString::fromUtf8("Erstes Fach ä")}));
            QCOMPARE(grid->Link()->State(), TDataLink::dsBrowse);
            QVERIFY(!navigatorOf(dlg)->Button(nbPost)->isEnabled());
            // The key the server gave is the row's.
            QCOMPARE(grid->model()->index(0, 0).data().toString(),
                     QString::fromStdString(cat.sql().value(std::string("select max(") + d.key +
                                                            ") from " + d.table)));
        });
        QCOMPARE(errors_, QStringList());
    }

    // A renamed location reaches the server when the row is left or posted, not when the
    // edit is cancelled.
    void renamingALocation_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("stored");
        QTest::newRow("down to the next row") << "down"
                                              << "Garage|Dachboden";
        QTest::newRow("post button") << "post"
                                     << "Garage|Dachboden";
        QTest::newRow("cancel button") << "cancel"
                                       << "Keller|Dachboden";
        QTest::newRow("escape") << "escape"
                                << "Keller|Dachboden";
    }
    void renamingALocation()
    {
        QFETCH(QString, ending);
        QFETCH(QString, stored);
        Catalogue cat("mdlg_rename");
        addNames(cat, locations, "('Keller'), ('Dachboden')");
        runCommand(locations, [&](MasterDlg& dlg) {
            TDBGrid* grid = gridOf(dlg);
            QLineEdit* editor = editCell(grid, 0, "ort");
            QVERIFY(editor);
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            type(editor, QStringLiteral("Garage"));
            QCOMPARE(grid->Link()->State(), TDataLink::dsEdit);
            QVERIFY(navigatorOf(dlg)->Button(nbPost)->isEnabled());
            if (ending == QLatin1String("down"))
                QTest::keyClick(editor, Qt::Key_Down);
            else if (ending == QLatin1String("post"))
                click(dlg, nbPost);
            else if (ending == QLatin1String("cancel"))
                click(dlg, nbCancel);
            else
                QTest::keyClick(editor, Qt::Key_Escape);
            QCOMPARE(QString::fromStdString(names(cat, locations)), stored);
            QCOMPARE(shown(grid).join(u'|'), stored);
            QCOMPARE(grid->Link()->State(), TDataLink::dsBrowse);
            QCOMPARE(grid->currentIndex().row(), ending == QLatin1String("down") ? 1 : 0);
            QVERIFY(dlg.isVisible());
        });
        QCOMPARE(errors_, QStringList());
    }

    void deletingAsksFirst_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("left");
        QTest::addColumn<bool>("refused");
        QTest::newRow("used, yes: the server refuses") << 0 << "&Ja"
                                                       << "Roman|Krimi" << true;
        QTest::newRow("unused, no") << 1 << "&Nein"
                                    << "Roman|Krimi" << false;
        QTest::newRow("unused, yes") << 1 << "&Ja"
                                     << "Roman" << false;
    }
    void deletingAsksFirst()
    {
        QFETCH(int, row);
        QFETCH(QString, reply);
        QFETCH(QString, left);
        QFETCH(bool, refused);
        Catalogue cat("mdlg_delete");
        addNames(cat, categories, "('Roman'), ('Krimi')");
        cat.sql().exec("insert into standort (ort) values ('Regal')");
        cat.sql().exec("insert into mediumtyp (typ) values ('Buch')");
        cat.sql().exec("insert into medium (titel, ort_fk, typ_fk, kategorie_fk) "
                       "values ('Der Name der Rose', 1, 1, 1)");
        runCommand(categories, [&](MasterDlg& dlg) {
            TDBGrid* grid = gridOf(dlg);
            const QModelIndex at = grid->model()->index(row, 1);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(at).center());
            QCOMPARE(grid->currentIndex().row(), row);
            QString question;
            answer(reply, &question);
            click(dlg, nbDelete);
            QCOMPARE(question, QString::fromUtf8("Datensatz löschen?"));
            QCOMPARE(QString::fromStdString(names(cat, categories)), left);
            QCOMPARE(shown(grid).join(u'|'), left);
            QVERIFY(dlg.isVisible());
        });
        if (refused) {
            QCOMPARE(errors_.size(), 1);
            QVERIFY2(errors_[0].contains(QLatin1String("foreign key constraint fails")),
                     qPrintable(errors_[0]));
        } else {
            QCOMPARE(errors_, QStringList());
        }
    }

    // A post the server refuses reaches the error handler and leaves the row in edit, also
    // when the user tries to move on.
    void refusedPostKeepsTheEdit_data()
    {
        QTest::addColumn<bool>("insert");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QString>("error");
        QTest::newRow("name too long, post") << false << false << "Data too long";
        QTest::newRow("name too long, down") << false << true << "Data too long";
        QTest::newRow("new row without name, post")
            << true << false << "doesn't have a default value";
    }
    void refusedPostKeepsTheEdit()
    {
        QFETCH(bool, insert);
        QFETCH(bool, down);
        QFETCH(QString, error);
        Catalogue cat("mdlg_refused");
        addNames(cat, categories, "('Roman'), ('Krimi')");
        runCommand(categories, [&](MasterDlg& dlg) {
            TDBGrid* grid = gridOf(dlg);
            if (insert) {
                click(dlg, nbInsert);
            } else {
                QLineEdit* editor = editCell(grid, 0, "name");
                QVERIFY(editor);
                QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
                type(editor, QString(101, u'x'));
                if (down)
                    QTest::keyClick(editor, Qt::Key_Down);
            }
            if (!down)
                click(dlg, nbPost);
            QCOMPARE(errors_.size(), 1);
            QVERIFY2(errors_[0].contains(error), qPrintable(errors_[0]));
            const int editRow = insert ? 2 : 0;
            QCOMPARE(grid->Link()->EditRow(), editRow);
            QCOMPARE(grid->currentIndex().row(), editRow);
            QCOMPARE(grid->model()->rowCount(), insert ? 3 : 2);
            QCOMPARE(names(cat, categories), std::string("Roman|Krimi"));
            QVERIFY(navigatorOf(dlg)->Button(nbPost)->isEnabled());
        });
        QCOMPARE(names(cat, categories), std::string("Roman|Krimi"));
    }

    // Schließen with a row not posted stores nothing; the next opening shows the table as
    // the server holds it.
    void closingDropsAnUnpostedRow_data()
    {
        QTest::addColumn<bool>("insert");
        QTest::newRow("new row") << true;
        QTest::newRow("renamed row") << false;
    }
    void closingDropsAnUnpostedRow()
    {
        QFETCH(bool, insert);
        Catalogue cat("mdlg_unposted");
        addNames(cat, categories, "('Roman')");
        runCommand(categories, [&](MasterDlg& dlg) {
            TDBGrid* grid = gridOf(dlg);
            QLineEdit* editor = nullptr;
            if (insert) {
                click(dlg, nbInsert);
                editor = editorOf(grid);
            } else {
                editor = editCell(grid, 0, "name");
                QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            }
            QVERIFY(editor);
            type(editor, QStringLiteral("Lyrik"));
            click(static_cast<Tdlg_kategorie&>(dlg).btn_kategorie);
            QVERIFY(!dlg.isVisible());
        });
        QCOMPARE(names(cat, categories), std::string("Roman"));
        runCommand(categories,
                   [&](MasterDlg& dlg) { QCOMPARE(shown(gridOf(dlg)), QStringList({"Roman"})); });
        QCOMPARE(errors_, QStringList());
    }

    // Without a server the creation handler's error reaches the handler and the dialog is
    // created all the same; the command's open then fails with its own sentence.
    void creationWithoutServer()
    {
        Catalogue cat("mdlg_noserver");
        Db_access db;
        db.db_stop();
        TMyConnection* connection = dat_medium->myc_medium;
        const int port = connection->Port;
        connection->Port = 1;
        {
            Tdlg_kategorie dlg(nullptr);
            QCOMPARE(errors_.size(), 1);
            QVERIFY(!dat_medium->myt_kategorie->Active());
            QCOMPARE(dlg.dbg_kategorie->model()->rowCount(), 0);
            QVERIFY(
                testdb::failureOf([&] {
                    db.open_kat();
                }).endsWith(QString::fromUtf8(" .Tabelle Kategorie kann nicht geöffnet werden")));
        }
        connection->Port = port;
        db.db_start();
    }

    // While its data source is disabled the grid shows no data, the navigator offers
    // nothing, and an edit in progress is dropped.
    void disabledSourceShowsNoData()
    {
        Catalogue cat("mdlg_disabled");
        addNames(cat, categories, "('Roman'), ('Krimi')");
        runCommand(categories, [&](MasterDlg& dlg) {
            TDBGrid* grid = gridOf(dlg);
            QLineEdit* editor = editCell(grid, 0, "name");
            QVERIFY(editor);
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            type(editor, QStringLiteral("Lyrik"));

            dat_medium->myds_kategorie->SetEnabled(false);
            QCOMPARE(grid->model()->rowCount(), 0);
            QCOMPARE(grid->model()->columnCount(), 0);
            QCOMPARE(editorOf(grid), nullptr);
            for (int b = nbFirst; b <= nbRefresh; ++b)
                QVERIFY(!navigatorOf(dlg)->Button(static_cast<TNavigateBtn>(b))->isEnabled());

            dat_medium->myds_kategorie->SetEnabled(true);
            QCOMPARE(shown(grid), QStringList({"Roman", "Krimi"}));
            QVERIFY(grid->isColumnHidden(0));
            QCOMPARE(grid->Link()->State(), TDataLink::dsBrowse);
        });
        QCOMPARE(names(cat, categories), std::string("Roman|Krimi"));
        QCOMPARE(errors_, QStringList());
    }
};

QTEST_MAIN(TestMasterDlg)
#include "test_master_dlg.moc"
