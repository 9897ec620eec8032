// The media editor, driven through its real widgets against a catalogue of its own.
#include "platform/rtl/datetime.h"
#include "platform/vcl/application.h"
#include "platform/vcl/datetimepicker.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/labelededit.h"
#include "store/media.h"
#include "tests/store/catalogue.h"
#include "tests/support/dialog_driver.h"
#include "ui/medium_frm.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <functional>
#include <memory>

using testdb::Catalogue;

namespace {

// Answers every message box with OK and notes "<title>: <text>".
class Boxes {
public:
    Boxes()
    {
        for (int i = 0; i < 8; ++i)
            driver_.then([this](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                seen << (box ? box->windowTitle() + QStringLiteral(": ") + box->text()
                             : QString::fromLatin1(w->metaObject()->className()));
                DialogDriver::Accept(w);
            });
    }
    QStringList seen;

private:
    DialogDriver driver_;
};

void seed(Catalogue& cat, const char* table, const char* column, const QStringList& names)
{
    for (const QString& name : names)
        cat.sql().exec(std::string("INSERT INTO ") + table + " (" + column + ") VALUES ('" +
                       cat.sql().escape(AnsiString(name).bytes()) + "')");
}

// One location, type and category, and the medium with key 1.
void seedMedium(Catalogue& cat)
{
    seed(cat, "standort", "ort", {"Keller"});
    seed(cat, "mediumtyp", "typ", {"Buch"});
    seed(cat, "kategorie", "name", {"Roman"});
    cat.sql().exec(
        "INSERT INTO medium (titel, typ_fk, kategorie_fk, ort_fk) VALUES ('T', 1, 1, 1)");
}

void dropTable(Catalogue& cat, const std::string& table)
{
    cat.sql().exec("SET FOREIGN_KEY_CHECKS = 0");
    cat.sql().exec("DROP TABLE " + table);
}

QStringList entries(const QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

// Shows the editor as the active window, the focus where the show handler put it.
bool open(Tfrm_medium& frm)
{
    frm.show();
    QApplication::setActiveWindow(&frm);
    return QTest::qWaitForWindowActive(&frm) && frm.edt_name->hasFocus();
}

void typeInto(QWidget* edit, const QString& keys)
{
    edit->setFocus();
    for (QChar c : keys)
        if (c == u'\b')
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, QString(c));
}

void replaceText(QComboBox* list, const QString& text)
{
    list->setFocus();
    list->lineEdit()->selectAll();
    QTest::keyClick(list->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(list->lineEdit(), text);
}

// A keyword request as the test's help handler notes it.
QString keyword(const char* text)
{
    return QStringLiteral("keyword ") + QString::fromUtf8(text);
}

// The background a field is drawn with, beside its text.
QColor background(QWidget* field)
{
    return field->grab().toImage().pixelColor(field->width() - 5, field->height() / 2);
}

double returnOffset(const Tfrm_medium& frm)
{
    return frm.dat_ende->GetDate().Val - frm.dat_datum->GetDate().Val;
}

// 10 March 2020, as a constant: EncodeDate is not ready before main.
const TDateTime kDay(43900);

} // namespace

class TestMediumFrm : public QObject {
    Q_OBJECT
    std::unique_ptr<TApplication> app;
    QStringList errors;   // what reached the application's error handler
    QStringList requests; // help requests: "context N" or "keyword <text>"

private slots:
    void initTestCase()
    {
        app = std::make_unique<TApplication>();
        app->OnException = [this](QObject*, const Exception& e) { errors << e.Message; };
        app->OnHelp = [this](quint16 command, qint64 data, bool& callHelp) {
            callHelp = false;
            requests << (command == HELP_CONTEXT
                             ? QStringLiteral("context %1").arg(data)
                             : QStringLiteral("keyword ") + HelpRequestKeyword(data));
            return false;
        };
    }
    void init()
    {
        errors.clear();
        requests.clear();
    }

    void fillsListsWithParallelKeys()
    {
        Catalogue cat("frm_fill");
        seed(cat, "kategorie", "name", {"Roman", "Krimi"});
        seed(cat, "standort", "ort", {"Keller"});
        Tfrm_medium frm(nullptr);
        // Ordered by name, keys alongside; an empty table gives one empty entry with key 0.
        QCOMPARE(entries(frm.cbo_typ), QStringList({""}));
        QCOMPARE(frm.typ_keys, std::vector<int>({0}));
        QCOMPARE(entries(frm.cbo_kategorie), QStringList({"Krimi", "Roman"}));
        QCOMPARE(frm.kategorie_keys, std::vector<int>({2, 1}));
        QCOMPARE(entries(frm.cbo_standort), QStringList({"Keller"}));
        QCOMPARE(frm.standort_keys, std::vector<int>({1}));
        for (QComboBox* list : {frm.cbo_typ, frm.cbo_kategorie, frm.cbo_standort})
            QCOMPARE(list->currentIndex(), -1);

        frm.start_in();
        for (QComboBox* list : {frm.cbo_typ, frm.cbo_kategorie, frm.cbo_standort})
            QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(frm.cbo_kategorie->currentText(), QStringLiteral("Krimi"));
        QVERIFY(errors.isEmpty());
    }

    void failedReadKeepsWhatWasFilled()
    {
        Catalogue cat("frm_failfill");
        seed(cat, "mediumtyp", "typ", {"Buch", "DVD"});
        seed(cat, "standort", "ort", {"Keller"});
        dropTable(cat, "kategorie");
        Boxes boxes;
        Tfrm_medium frm(nullptr);
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY2(boxes.seen[0].startsWith("Fehler: ") &&
                     boxes.seen[0].endsWith(QString::fromUtf8(
                         ". Kategorie Daten können nicht gelesen werden. Comboboxen können "
                         "nicht aufgebaut werden.")),
                 qPrintable(boxes.seen[0]));
        QCOMPARE(entries(frm.cbo_typ), QStringList({"Buch", "DVD"}));
        QCOMPARE(frm.cbo_kategorie->count(), 0);
        QCOMPARE(frm.cbo_standort->count(), 0);
        QVERIFY(frm.standort_keys.empty());
        frm.start_in();
        QVERIFY(open(frm));
        QVERIFY(errors.isEmpty());
    }

    void addEntry_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<bool>("upperCase"); // the server stores another name than typed
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("rebuilt");
        QTest::addColumn<int>("selected");

        const char* tables[] = {"standort", "typ", "kategorie"};
        for (int which = 0; which < 3; ++which) {
            const auto row = [&](const char* name) {
                return &(QTest::addRow("%s %s", tables[which], name) << which);
            };
            *row("twice") << QStringList({"Archiv", "Keller"}) << false << "Keller"
                          << QStringList({"Archiv", "Keller", "Keller"}) << 2;
            *row("empty text") << QStringList({"", "Keller"}) << false << ""
                               << QStringList({"", "", "Keller"}) << 1;
            *row("new name") << QStringList({"Archiv", "Zelt"}) << false << "Keller"
                             << QStringList({"Archiv", "Keller", "Zelt"}) << 1;
            *row("stored differs") << QStringList({"Archiv", "Keller"}) << true << "neu"
                                   << QStringList({"Archiv", "Keller", "NEU"}) << 0;
        }
    }
    void addEntry()
    {
        QFETCH(int, which);
        QFETCH(QStringList, stored);
        QFETCH(bool, upperCase);
        QFETCH(QString, typed);
        QFETCH(QStringList, rebuilt);
        QFETCH(int, selected);
        struct Master {
            const char* table;
            const char* key;
            const char* column;
            const char* message;
        };
        const Master masters[] = {
            {"standort", "standort_pk", "ort", "Standort wurde erfolgreich angefügt"},
            {"mediumtyp", "mediumtyp_pk", "typ", "Mediumtyp wurde erfolgreich angefügt"},
            {"kategorie", "kategorie_pk", "name", "Kategorie wurde erfolgreich angefügt"},
        };
        const Master& m = masters[which];

        Catalogue cat("frm_add");
        seed(cat, m.table, m.column, stored);
        if (upperCase)
            cat.sql().exec(std::string("CREATE TRIGGER upper_name BEFORE INSERT ON ") + m.table +
                           " FOR EACH ROW SET NEW." + m.column + " = UPPER(NEW." + m.column + ")");
        Tfrm_medium frm(nullptr);
        frm.start_update();
        QVERIFY(open(frm));
        QComboBox* const lists[] = {frm.cbo_standort, frm.cbo_typ, frm.cbo_kategorie};
        QPushButton* const buttons[] = {frm.btn_eingabe_ort, frm.btn_eingabe_typ,
                                        frm.btn_eingabe_kat};
        const std::vector<int>* const keys[] = {&frm.standort_keys, &frm.typ_keys,
                                                &frm.kategorie_keys};
        QComboBox* list = lists[which];

        Boxes boxes;
        replaceText(list, typed);
        QTest::mouseClick(buttons[which], Qt::LeftButton);

        QCOMPARE(boxes.seen, QStringList({"Information: " + QString::fromUtf8(m.message)}));
        QCOMPARE(entries(list), rebuilt);
        QCOMPARE(list->currentIndex(), selected);
        QCOMPARE(list->currentText(), rebuilt[selected]);
        // Every entry still belongs to the key beside it.
        QCOMPARE(keys[which]->size(), std::size_t(rebuilt.size()));
        for (int i = 0; i < rebuilt.size(); ++i)
            QCOMPARE(QString::fromStdString(cat.sql().value(
                         std::string("SELECT ") + m.column + " FROM " + m.table + " WHERE " +
                         m.key + " = " + std::to_string((*keys[which])[i]))),
                     rebuilt[i]);
        QVERIFY(errors.isEmpty());
    }

    void addEntryFailureReachesHandler()
    {
        Catalogue cat("frm_addfail");
        seed(cat, "mediumtyp", "typ", {"Buch"});
        Tfrm_medium frm(nullptr);
        frm.start_in();
        QVERIFY(open(frm));
        dropTable(cat, "mediumtyp");
        Boxes boxes;
        QTest::mouseClick(frm.btn_eingabe_typ, Qt::LeftButton);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].endsWith(
                     QString::fromUtf8(". Neuer Typ kann nicht in die DB geschrieben werden")),
                 qPrintable(errors[0]));
        QVERIFY(boxes.seen.isEmpty());
        QCOMPARE(entries(frm.cbo_typ), QStringList({"Buch"}));
        QCOMPARE(frm.typ_keys, std::vector<int>({1}));
    }

    // Typing computes the return date whenever the text is a whole number and says nothing
    // while it is none: what the field holds is checked where the period is used.
    void periodTyping_data()
    {
        QTest::addColumn<QString>("keys"); // \b is the backspace key
        QTest::addColumn<QList<double>>("offsets");
        QTest::newRow("1 then 12") << "12" << QList<double>{1, 12};
        QTest::newRow("delete to empty") << "12\b\b" << QList<double>{1, 12, 1, 1};
        QTest::newRow("negative") << "-5" << QList<double>{0, -5};
        QTest::newRow("letter") << "3x" << QList<double>{3, 3};
        QTest::newRow("beyond the calendar")
            << "3000000" << QList<double>{3, 30, 300, 3000, 30000, 300000, 300000};
    }
    void periodTyping()
    {
        QFETCH(QString, keys);
        QFETCH(QList<double>, offsets);
        Catalogue cat("frm_period");
        Tfrm_medium frm(nullptr);
        frm.start_update();
        QVERIFY(open(frm));
        frm.dat_datum->SetDate(kDay);
        frm.dat_ende->SetDate(kDay);
        frm.tab_medium->setCurrentWidget(frm.tab_auslei);
        Boxes boxes;
        QList<double> seen;
        for (QChar key : keys) {
            typeInto(frm.edt_tage, QString(key));
            seen << returnOffset(frm);
        }
        QCOMPARE(seen, offsets);
        QCOMPARE(frm.dat_datum->GetDate().Val, kDay.Val);
        QCOMPARE(boxes.seen, QStringList());
        QVERIFY(errors.isEmpty());
    }

    void periodButtonsComputeOnlyOnChange()
    {
        Catalogue cat("frm_buttons");
        Tfrm_medium frm(nullptr);
        frm.start_update();
        QVERIFY(open(frm));
        frm.tab_medium->setCurrentWidget(frm.tab_auslei);
        frm.dat_datum->SetDate(kDay);
        QTest::mouseClick(frm.btn_drei, Qt::LeftButton);
        QCOMPARE(frm.edt_tage->text(), QStringLiteral("30"));
        QCOMPARE(returnOffset(frm), 30.0);

        // Picking another loan date (one day on, by the keyboard) leaves the return date.
        frm.dat_datum->setFocus();
        frm.dat_datum->setCurrentSection(QDateTimeEdit::DaySection);
        QTest::keyClick(frm.dat_datum, Qt::Key_Up);
        QCOMPARE(frm.dat_datum->GetDate().Val, kDay.Val + 1);
        QCOMPARE(frm.dat_ende->GetDate().Val, kDay.Val + 30);
        // "30" again is no change; "60" computes from the loan date as it is now.
        QTest::mouseClick(frm.btn_drei, Qt::LeftButton);
        QCOMPARE(frm.dat_ende->GetDate().Val, kDay.Val + 30);
        QTest::mouseClick(frm.neun, Qt::LeftButton);
        QCOMPARE(frm.edt_tage->text(), QStringLiteral("90"));
        QCOMPARE(frm.dat_ende->GetDate().Val, kDay.Val + 1 + 90);
        QTest::mouseClick(frm.btn_sechs, Qt::LeftButton);
        QCOMPARE(frm.dat_ende->GetDate().Val, kDay.Val + 1 + 60);
        QVERIFY(errors.isEmpty());
    }

    void newModeLocksTheLoanButNotItsButtons()
    {
        Catalogue cat("frm_newmode");
        Tfrm_medium frm(nullptr);
        frm.edt_name->setText("alt");
        frm.mem_stichwort->setPlainText("alt");
        frm.start_in();
        QVERIFY(open(frm));
        QVERIFY(frm.edt_name->text().isEmpty());
        QVERIFY(frm.mem_stichwort->toPlainText().isEmpty());
        QVERIFY(frm.edt_auslei->isReadOnly());
        QVERIFY(frm.edt_tage->isReadOnly());
        // They look it: not drawn as the fields that take typing.
        QVERIFY(background(frm.edt_auslei) != background(frm.edt_name));
        QCOMPARE(background(frm.edt_tage), background(frm.edt_auslei));
        QVERIFY(!frm.dat_datum->isEnabled());
        QVERIFY(!frm.dat_ende->isEnabled());
        QCOMPARE(frm.dat_ende->GetDate().Val, EncodeDate(2018, 2, 7).Val);
        QCOMPARE(frm.dat_datum->GetDate().Val, Today().Val);
        frm.tab_medium->setCurrentWidget(frm.tab_auslei);
        typeInto(frm.edt_tage, "5");
        QVERIFY(frm.edt_tage->text().isEmpty());

        // "Heute" without a period: the loan date is set; the locked period, which new mode
        // does not store, is nothing the user could mend and brings no message.
        frm.dat_datum->SetDate(kDay);
        {
            Boxes boxes;
            QTest::mouseClick(frm.btn_heute, Qt::LeftButton);
            QCOMPARE(boxes.seen, QStringList());
        }
        QCOMPARE(frm.dat_datum->GetDate().Val, Today().Val);
        QVERIFY(errors.isEmpty());
        QCOMPARE(frm.dat_ende->GetDate().Val, EncodeDate(2018, 2, 7).Val);

        QTest::mouseClick(frm.btn_sechs, Qt::LeftButton);
        QCOMPARE(frm.edt_tage->text(), QStringLiteral("60"));
        QCOMPARE(frm.dat_ende->GetDate().Val, Today().Val + 60);
        frm.dat_datum->SetDate(kDay);
        QTest::mouseClick(frm.btn_heute, Qt::LeftButton);
        QCOMPARE(frm.dat_datum->GetDate().Val, Today().Val);
        QCOMPARE(frm.dat_ende->GetDate().Val, Today().Val + 60);

        errors.clear();
        QTest::mouseClick(frm.btn_quitung, Qt::LeftButton);
        QCOMPARE(errors,
                 QStringList({QString::fromUtf8("Daten müssen zuerst gespeichert werden")}));
    }

    void editModeShowsTodayOverTheStoredDate()
    {
        Catalogue cat("frm_editmode");
        Tfrm_medium frm(nullptr);
        frm.start_update();
        frm.dat_datum->SetDate(kDay);
        frm.edt_tage->setText("14");
        QCOMPARE(frm.dat_ende->GetDate().Val, kDay.Val + 14);
        QVERIFY(open(frm));
        QCOMPARE(frm.dat_datum->GetDate().Val, Today().Val);
        QCOMPARE(frm.dat_ende->GetDate().Val, kDay.Val + 14);
        QVERIFY(!frm.edt_auslei->isReadOnly() && !frm.edt_tage->isReadOnly());
        QCOMPARE(background(frm.edt_auslei), background(frm.edt_name));
        QCOMPARE(background(frm.edt_tage), background(frm.edt_name));
        QVERIFY(frm.dat_datum->isEnabled() && frm.dat_ende->isEnabled());
    }

    // A field takes no more than the medium keeps, typed or pasted: each character is one
    // byte of the stored text, an umlaut too, and a loan date before 2 January 1900 is not
    // taken. What the fields hold then passes the medium's own checks.
    void fieldsHoldWhatTheMediumKeeps_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("limit");
        QTest::newRow("title") << "edt_name" << 200;
        QTest::newRow("author") << "edt_autor" << 100;
        QTest::newRow("year") << "edt_jahr" << 30;
        QTest::newRow("ISBN, the width of its column") << "edt_isbn" << 50;
        QTest::newRow("borrower") << "edt_auslei" << 150;
        QTest::newRow("loan date") << "dat_datum" << 0;
    }
    void fieldsHoldWhatTheMediumKeeps()
    {
        QFETCH(QString, field);
        QFETCH(int, limit);
        Catalogue cat("frm_limits");
        Tfrm_medium frm(nullptr);
        frm.start_update();
        // The period as the creator writes it in edit mode; the date is left through it.
        frm.edt_tage->setText("0");
        QVERIFY(open(frm));
        auto* w = frm.findChild<QWidget*>(field);
        QVERIFY(w);
        for (QWidget* page : {frm.tab_titel, frm.tab_auslei})
            if (page->isAncestorOf(w))
                frm.tab_medium->setCurrentWidget(page);
        Media medium;
        const auto accepted = [](const std::function<void()>& set) {
            try {
                set();
                return true;
            } catch (const Exception& e) {
                qWarning("%s", qPrintable(e.Message));
                return false;
            }
        };
        if (w == frm.dat_datum) {
            for (const char* typed : {"02011900", "01011900", "31121899"}) {
                frm.dat_datum->setFocus(Qt::TabFocusReason);
                QTest::keyClicks(frm.dat_datum, typed);
                frm.edt_tage->setFocus(Qt::TabFocusReason);
                QVERIFY2(accepted([&] { medium.set_datum(frm.dat_datum->GetDate()); }), typed);
            }
            QVERIFY(errors.isEmpty());
            return;
        }
        auto* edit = qobject_cast<QLineEdit*>(w);
        edit->setFocus();
        for (int i = 0; i < limit + 16; ++i)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(u'\u00e4'), {});
        QCOMPARE(AnsiString(edit->text()).Length(), limit);
        QGuiApplication::clipboard()->setText(QString(limit + 10, u'x'));
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QString(limit, u'x'));
        const AnsiString text(edit->text());
        QVERIFY(accepted([&] {
            medium.set_titel(w == frm.edt_name ? text : AnsiString());
            medium.set_autor(w == frm.edt_autor ? text : AnsiString());
            medium.set_jahr(w == frm.edt_jahr ? text : AnsiString());
            medium.set_auslei(w == frm.edt_auslei ? text : AnsiString());
        }));
    }

    void receiptSavesTheLoanEvenWhenCancelled_data()
    {
        QTest::addColumn<QString>("period");
        QTest::addColumn<std::string>("stored");
        QTest::newRow("14 days") << "14" << std::string("14");
        QTest::newRow("empty period") << "" << std::string("0");
    }
    void receiptSavesTheLoanEvenWhenCancelled()
    {
        QFETCH(QString, period);
        QFETCH(std::string, stored);
        Catalogue cat("frm_receipt");
        seedMedium(cat);
        Tfrm_medium frm(nullptr);
        frm.start_update();
        frm.edt_pk->setText("1");
        frm.edt_auslei->setText(QString::fromUtf8("Jürg"));
        frm.edt_tage->setText(period);

        QStringList dialogs;
        DialogDriver driver;
        driver
            .then([&](QWidget* editor) {
                QCOMPARE(editor, &frm);
                frm.tab_medium->setCurrentWidget(frm.tab_auslei);
                frm.dat_datum->SetDate(kDay);
                QTest::mouseClick(frm.btn_quitung, Qt::LeftButton);
                QTest::mouseClick(frm.btn_cansle, Qt::LeftButton);
            })
            .then([&](QWidget* print) {
                dialogs << QString::fromLatin1(print->metaObject()->className());
                DialogDriver::Reject(print);
            });
        QCOMPARE(frm.ShowModal(), int(mrCancel));
        QCOMPARE(dialogs, QStringList({"QPrintDialog"}));
        QVERIFY2(driver.Unexpected.isEmpty(), qPrintable(driver.Unexpected.join(", ")));
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(", ")));
        const auto rows = cat.sql().rows("SELECT ausgeliehen, DATE_FORMAT(datum, '%d.%m.%Y'), "
                                         "tage FROM medium WHERE medium_pk = 1");
        QCOMPARE(rows, (std::vector<std::vector<std::string>>{
                           {AnsiString(QString::fromUtf8("Jürg")).bytes(), "10.03.2020", stored}}));
    }

    void flags_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("data");
        QTest::addColumn<bool>("keywords");
        QTest::addColumn<bool>("loan");
        QTest::newRow("shown, nothing done") << 0 << false << false << false;
        QTest::newRow("tab from title to author") << 1 << true << false << false;
        QTest::newRow("into the borrower") << 2 << true << false << true;
        QTest::newRow("into the loan date") << 3 << true << false << true;
        QTest::newRow("through the keywords") << 4 << true << true << false;
        QTest::newRow("location picked, focus kept") << 5 << true << false << false;
        QTest::newRow("description typed") << 6 << true << false << false;
        QTest::newRow("message box over the title") << 7 << false << false << false;
        QTest::newRow("title typed, Enter for OK") << 8 << true << false << false;
        QTest::newRow("keywords typed, OK clicked") << 9 << true << true << false;
        // The page hands the focus to the borrower field by itself: no loan entered yet.
        QTest::newRow("loan page by its tab") << 10 << true << false << false;
        QTest::newRow("loan page by the keyboard") << 11 << true << false << false;
        QTest::newRow("loan page, a borrower typed") << 12 << true << false << true;
        QTest::newRow("loan page, Backtab, Tab") << 13 << true << false << true;
    }
    void flags()
    {
        QFETCH(int, action);
        QFETCH(bool, data);
        QFETCH(bool, keywords);
        QFETCH(bool, loan);
        Catalogue cat("frm_flags");
        seed(cat, "standort", "ort", {"Archiv", "Keller"});
        Tfrm_medium frm(nullptr);
        frm.start_update();
        // What the creator writes raises change events; showing clears the flags again.
        frm.cbo_standort->setEditText("Keller");
        frm.mem_beschrieb->setPlainText("Zeile");
        frm.edt_tage->setText("0");
        QVERIFY(frm.data_changed);
        QVERIFY(open(frm));

        const auto clickInto = [&](QWidget* page, QWidget* control) {
            frm.tab_medium->setCurrentWidget(page);
            QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5));
            QVERIFY(control->hasFocus());
        };
        switch (action) {
        case 1:
            QTest::keyClick(frm.edt_name, Qt::Key_Tab);
            QVERIFY(frm.edt_autor->hasFocus());
            break;
        case 2:
            clickInto(frm.tab_auslei, frm.edt_auslei);
            break;
        case 3:
            clickInto(frm.tab_auslei, frm.dat_datum);
            break;
        case 4:
            clickInto(frm.tab_titel, frm.mem_stichwort);
            QTest::keyClick(frm.mem_stichwort, Qt::Key_Tab);
            QVERIFY(!frm.mem_stichwort->hasFocus());
            break;
        case 5:
            frm.cbo_standort->setCurrentIndex(0);
            QVERIFY(frm.edt_name->hasFocus());
            break;
        case 6:
            clickInto(frm.tab_beschrieb, frm.mem_beschrieb);
            QTest::keyClicks(frm.mem_beschrieb, "x");
            break;
        case 7: {
            // Another window taking the focus for a while is no exit from the field.
            Boxes boxes;
            MessageDlg("Hinweis", mtInformation, {mbOK}, 0);
            QCOMPARE(boxes.seen.size(), 1);
            QApplication::setActiveWindow(&frm);
            QTRY_VERIFY(frm.edt_name->hasFocus());
            break;
        }
        case 8:
            // The focus never leaves the title: OK through Enter counts it as left.
            QTest::keyClicks(frm.edt_name, "Neu");
            QTest::keyClick(frm.edt_name, Qt::Key_Return);
            QVERIFY(!frm.isVisible());
            break;
        case 9:
            clickInto(frm.tab_titel, frm.mem_stichwort);
            QTest::keyClicks(frm.mem_stichwort, "Wort");
            QTest::mouseClick(frm.btn_ok, Qt::LeftButton);
            QVERIFY(!frm.isVisible());
            break;
        case 10:
        case 12:
        case 13: {
            QTabBar* tabs = frm.tab_medium->tabBar();
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
            QCOMPARE(frm.tab_medium->currentWidget(), frm.tab_auslei);
            QVERIFY(frm.edt_auslei->hasFocus());
            if (action == 12)
                QTest::keyClicks(frm.edt_auslei, "Anna");
            if (action == 13) {
                QTest::keyClick(frm.edt_auslei, Qt::Key_Backtab);
                QVERIFY(!frm.edt_auslei->hasFocus());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QVERIFY(frm.edt_auslei->hasFocus());
            }
            break;
        }
        case 11:
            QTest::keyClick(frm.edt_name, Qt::Key_Tab, Qt::ControlModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(frm.tab_medium->currentWidget(), frm.tab_auslei);
            QVERIFY(frm.edt_auslei->hasFocus());
            break;
        }
        QCOMPARE(frm.data_changed, data);
        QCOMPARE(frm.keywords_changed, keywords);
        QCOMPARE(frm.loan_changed, loan);
    }

    void modalResult_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << 0 << int(mrOk);
        QTest::newRow("Enter") << 1 << int(mrOk);
        QTest::newRow("Abbrechen") << 2 << int(mrCancel);
        QTest::newRow("Escape") << 3 << int(mrCancel);
        QTest::newRow("close box") << 4 << int(mrCancel);
    }
    void modalResult()
    {
        QFETCH(int, how);
        QFETCH(int, result);
        Catalogue cat("frm_modal");
        Tfrm_medium frm(nullptr);
        frm.start_in();
        DialogDriver driver;
        driver.then([&](QWidget* editor) {
            QCOMPARE(editor, &frm);
            switch (how) {
            case 0:
                QTest::mouseClick(frm.btn_ok, Qt::LeftButton);
                break;
            case 1:
                QTest::keyClick(frm.edt_name, Qt::Key_Return);
                break;
            case 2:
                QTest::mouseClick(frm.btn_cansle, Qt::LeftButton);
                break;
            case 3:
                QTest::keyClick(frm.edt_name, Qt::Key_Escape);
                break;
            case 4:
                frm.close();
                break;
            }
        });
        QCOMPARE(frm.ShowModal(), result);
        QVERIFY(errors.isEmpty());
    }

    void helpRequests_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("windowContext");
        QTest::addColumn<QString>("request");
        QTest::newRow("title") << "edt_name" << 104 << keyword("Titel eingeben");
        QTest::newRow("loan date") << "dat_datum" << 104 << keyword("Datum angeben");
        QTest::newRow("location") << "cbo_standort" << 104 << "context 105";
        QTest::newRow("description") << "mem_beschrieb" << 104 << "context 105";
        QTest::newRow("period") << "edt_tage" << 104 << "context 110";
        QTest::newRow("help button, new") << "btn_help" << 104 << "context 104";
        QTest::newRow("help button, edit") << "btn_help" << 105 << "context 105";
    }
    void helpRequests()
    {
        QFETCH(QString, control);
        QFETCH(int, windowContext);
        QFETCH(QString, request);
        Catalogue cat("frm_help");
        Tfrm_medium frm(nullptr);
        frm.start_update();
        SetHelpContext(&frm, windowContext);
        QVERIFY(open(frm));
        auto* w = frm.findChild<QWidget*>(control);
        QVERIFY(w);
        if (w == frm.btn_help) {
            QTest::mouseClick(frm.btn_help, Qt::LeftButton);
        } else {
            for (QWidget* page : {frm.tab_titel, frm.tab_beschrieb, frm.tab_auslei})
                if (page->isAncestorOf(w))
                    frm.tab_medium->setCurrentWidget(page);
            w->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        }
        QCOMPARE(requests, QStringList({request}));
    }
};

QTEST_MAIN(TestMediumFrm)
#include "test_medium_frm.moc"
