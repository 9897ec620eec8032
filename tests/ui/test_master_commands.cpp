// The master-data and info commands of the main window: each opens its dialog over the main
// window and leaves nothing open behind it.
#include "platform/vcl/actions.h"
#include "platform/vcl/dbgrid.h"
#include "tests/store/catalogue.h"
#include "ui/info_frm.h"
#include "ui/kategorie_dlg.h"
#include "ui/main_frm.h"
#include "ui/standort_frm.h"
#include "ui/typ_dlg.h"
#include "ui_fixture.h"

#include <QPushButton>

#include <cstdlib>

using testdb::Catalogue;

namespace {

struct Command {
    const char* action;
    const char* dialog; // class
    TMyTable* Tdat_medium::*table;
    TMyDataSource* Tdat_medium::*source;
    QStringList names; // shown in the grid
    const char* openFailure;
};

const Command commands[] = {
    {"act_kat",
     "Tdlg_kategorie",
     &Tdat_medium::myt_kategorie,
     &Tdat_medium::myds_kategorie,
     {"Roman", "Sachbuch"},
     " .Tabelle Kategorie kann nicht geöffnet werden"},
    {"act_typneu",
     "Tdlg_typ",
     &Tdat_medium::myt_typ,
     &Tdat_medium::myds_typ,
     {"Buch"},
     " .Tabelle Typ kann nicht geöffnet werden"},
    {"act_stand",
     "Tfrm_standort",
     &Tdat_medium::myt_standort,
     &Tdat_medium::myds_standort,
     {"Regal", "Keller", "Archiv"},
     " .Tabelle Ort kann nicht geöffnet werden"},
};

const QString kAppSentence = QStringLiteral(". Es ist ein schwerer Ausnahmefehler aufgetreten.");

// The grid's visible cells, one row a line.
QStringList shown(const TDBGrid* grid)
{
    QStringList out;
    const QAbstractItemModel* m = grid->model();
    for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                out << m->index(r, c).data().toString();
    return out;
}

// How far the middle of the dialog's frame stands from that of the main window's (a pixel
// or two where the difference of their sizes is odd).
QPoint offCentre(const QWidget* dialog, const QWidget* main)
{
    return dialog->frameGeometry().center() - main->frameGeometry().center();
}

unsigned long connectionId()
{
    return mysql_thread_id(dat_medium->myc_medium->Handle());
}

} // namespace

class TestMasterCommands : public QObject, private ui::ProgramFixture {
    Q_OBJECT
    std::unique_ptr<Tfrm_main> frm;

    static void addCommands()
    {
        QTest::addColumn<int>("which");
        for (int i = 0; i < 3; ++i)
            QTest::newRow(commands[i].action) << i;
    }

private slots:
    void initTestCase()
    {
        startProgram("master");
        catalogue->sql().exec("insert into kategorie (name) values ('Roman'), ('Sachbuch');"
                              "insert into mediumtyp (typ) values ('Buch');"
                              "insert into standort (ort) values ('Regal'), ('Keller'), "
                              "('Archiv')");
    }

    void init() { ui::openMainWindow(frm, catalogue->name()); }

    void cleanup() { ui::closeMainWindow(frm); }

    void cleanupTestCase() { endProgram(); }

    // While the dialog is open its table is open and its data source enabled; afterwards
    // both are off and the connection is a new one.
    void dialogOnItsTable_data() { addCommands(); }
    void dialogOnItsTable()
    {
        QFETCH(int, which);
        const Command& c = commands[which];
        const unsigned long before = connectionId();
        QString dialogClass;
        bool open = false, enabled = false;
        QStringList names;
        QPoint off(-1, -1);
        // Moved away, so that the dialog shows where it stands.
        frm->move(frm->pos() + QPoint(37, 23));
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            dialogClass = QString::fromLatin1(w->metaObject()->className());
            QCOMPARE(w->parentWidget(), frm.get());
            off = offCentre(w, frm.get());
            open = (dat_medium->*c.table)->Active();
            enabled = (dat_medium->*c.source)->Enabled();
            names = shown(w->findChild<TDBGrid*>());
            QTest::mouseClick(ui::buttonWithText(w, QString::fromUtf8("&Schließen")),
                              Qt::LeftButton);
        });
        frm->findChild<TAction*>(c.action)->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(dialogClass, QLatin1String(c.dialog));
        QVERIFY(open);
        QVERIFY(enabled);
        QCOMPARE(names, c.names);
        QVERIFY2(std::abs(off.x()) <= 2 && std::abs(off.y()) <= 2, "centred on the main window");
        QVERIFY(!(dat_medium->*c.table)->Active());
        QVERIFY(!(dat_medium->*c.source)->Enabled());
        QVERIFY(dat_medium->myc_medium->Connected());
        QVERIFY(connectionId() != before);
        QVERIFY(frm->findChildren<MasterDlg*>().isEmpty());
    }

    // Logon values that reach no database: the creation handler's error, then the open
    // operation's; the dialog is not shown.
    void noDatabaseNoDialog_data() { addCommands(); }
    void noDatabaseNoDialog()
    {
        QFETCH(int, which);
        const Command& c = commands[which];
        QStringList boxes;
        DialogDriver driver;
        driver.then(ui::box(boxes)).then(ui::box(boxes));
        dat_medium->myc_medium->SetServer("127.0.0.2");
        frm->findChild<TAction*>(c.action)->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(boxes.size(), 2);
        QVERIFY2(boxes[0].endsWith(kAppSentence) && !boxes[0].contains(c.openFailure),
                 qPrintable(boxes[0]));
        QVERIFY2(boxes[1].endsWith(QString::fromUtf8(c.openFailure) + kAppSentence),
                 qPrintable(boxes[1]));
        QVERIFY(frm->findChildren<MasterDlg*>().isEmpty());
    }

    void infoBox()
    {
        QString title;
        QPoint off(-1, -1);
        frm->move(frm->pos() + QPoint(37, 23));
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            auto* box = qobject_cast<Tfrm_info*>(w);
            QVERIFY(box);
            QCOMPARE(box->parentWidget(), frm.get());
            off = offCentre(w, frm.get());
            title = box->windowTitle();
            QTest::mouseClick(box->btn_info, Qt::LeftButton);
        });
        frm->act_infoneu->trigger();
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(title, QStringLiteral("Info zu Kollektar"));
        QVERIFY2(std::abs(off.x()) <= 2 && std::abs(off.y()) <= 2, "centred on the main window");
        QVERIFY(frm->findChildren<Tfrm_info*>().isEmpty());
    }
};

QTEST_MAIN(TestMasterCommands)
#include "test_master_commands.moc"
