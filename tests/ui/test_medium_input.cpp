// What the media editor refuses before anything is stored, and what becomes of the input then:
// characters beyond the catalogue's code page, keywords too long or standing for one word, a
// list text that is no entry, a period that is no whole number. The real widgets, the real
// message boxes and the main window's commands, against a catalogue of its own.
#include "platform/rtl/datetime.h"
#include "platform/vcl/actions.h"
#include "platform/vcl/datetimepicker.h"
#include "platform/vcl/labelededit.h"
#include "ui/main_frm.h"
#include "ui/medium_frm.h"
#include "ui_fixture.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

// Mittag (1), lent to Anna, with the keyword Haus. In name order the lists begin with Keller
// (location 2), Buch (type 1) and Roman (category 1), the entries that new mode selects.
const char* const kSeed =
    "delete from stichwort; delete from medium; alter table medium auto_increment = 1;"
    "delete from kategorie where kategorie_pk > 2; alter table kategorie auto_increment = 1;"
    "insert into medium (titel, autor, jahr, isbn, ort_fk, typ_fk, kategorie_fk, beschreibung,"
    " ausgeliehen, datum, tage) values ('Mittag', 'Zweig', '1930', '3-10', 1, 1, 1,"
    " 'Zeile\\r\\n', 'Anna', '2020-03-10', 14);"
    "insert into stichwort values (1, 'Haus')";

// A stored medium's fields in the order of the columns, the keywords in the server's order.
const QStringList kColumns = {"titel",       "autor",  "jahr",         "isbn",
                              "ort_fk",      "typ_fk", "kategorie_fk", "beschreibung",
                              "ausgeliehen", "datum",  "tage",         "stichworte"};
const QStringList kMittag = {"Mittag", "Zweig", "1930", "3-10",       "1",  "1",
                             "1",      "Zeile", "Anna", "2020-03-10", "14", "Haus"};
// The medium that the new command's rows store: the title and author they type, the first
// entries, nothing lent.
const QStringList kNeuling = {"Neuling", "Storm", "",       "",       "2",      "1",
                              "1",       "",      "<NULL>", "<NULL>", "<NULL>", ""};

QStringList with(QStringList record, const QStringList& changes)
{
    for (const QString& change : changes) {
        const qsizetype at = change.indexOf(u'=');
        record[kColumns.indexOf(change.left(at))] = change.mid(at + 1);
    }
    return record;
}

const QString kOnlyWhole = QStringLiteral(". Es werden nur ganze Zahlen erlaubt");

QString foreign(const char* caption, const QString& named)
{
    return QString::fromUtf8("Das Feld „") + QString::fromUtf8(caption) +
           QString::fromUtf8("“ enthält Zeichen, die der Katalog nicht speichern kann: ") + named +
           QString::fromUtf8(". Der Katalog speichert nur die Zeichen westeuropäischer Sprachen "
                             "(Zeichensatz Windows-1252); bitte entfernen oder ersetzen Sie diese "
                             "Zeichen.");
}

QString tooLong(const QString& word)
{
    return QString::fromUtf8("Das Stichwort „") + word + QString::fromUtf8("“ ist ") +
           QString::number(word.size()) +
           QString::fromUtf8(" Zeichen lang. Ein Stichwort kann höchstens 50 Zeichen lang sein; "
                             "bitte kürzen Sie es.");
}

QString noEntry(const QString& text, const char* none, const char* one, const char* newOne)
{
    return QString::fromUtf8("„") + text + QString::fromUtf8("“ ist ") + QString::fromUtf8(none) +
           QString::fromUtf8(" der Liste. Wählen Sie ") + QString::fromUtf8(one) +
           QString::fromUtf8(" aus der Liste, oder legen Sie „") + text +
           QString::fromUtf8("“ mit der grünen Plus-Schaltfläche rechts neben der Liste als ") +
           QString::fromUtf8(newOne) + QString::fromUtf8(" an.");
}

QWidget* pageOf(Tfrm_medium& e, QWidget* field)
{
    for (QWidget* page : {e.tab_titel, e.tab_beschrieb, e.tab_auslei})
        if (page->isAncestorOf(field))
            return page;
    return nullptr;
}

// The widget that takes the keys of a field: a selection list's edit field.
QWidget* keysOf(QWidget* field)
{
    auto* list = qobject_cast<QComboBox*>(field);
    return list ? list->lineEdit() : field;
}

// Goes to the field as a person does, by its page and the keyboard, and replaces its text by
// key presses; a line break is the Enter key of a text area.
void retype(Tfrm_medium& e, QWidget* field, const QString& text)
{
    e.tab_medium->setCurrentWidget(pageOf(e, field));
    QWidget* keys = keysOf(field);
    keys->setFocus(Qt::TabFocusReason);
    QTest::keyClick(keys, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(keys, Qt::Key_Delete);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(keys, Qt::Key_Return);
        const QString& line = lines[i];
        for (qsizetype at = 0; at < line.size(); ++at) {
            // A character beyond 16 bits is one key, its surrogate pair one text.
            const qsizetype n = line[at].isHighSurrogate() && at + 1 < line.size() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, keys, Qt::Key_unknown, line.mid(at, n),
                                Qt::NoModifier);
            at += n - 1;
        }
    }
}

// What the editor's fields hold, in the order of its pages.
QStringList fields(const Tfrm_medium& e)
{
    return {e.edt_name->text(),
            e.edt_autor->text(),
            e.edt_jahr->text(),
            e.mem_stichwort->toPlainText(),
            e.cbo_standort->currentText(),
            e.cbo_typ->currentText(),
            e.cbo_kategorie->currentText(),
            e.edt_isbn->text(),
            e.mem_beschrieb->toPlainText(),
            e.edt_auslei->text(),
            e.edt_tage->text()};
}

// Whether the field has the editor's focus, which it shows once the editor is active again.
bool focused(QWidget* field)
{
    QWidget* focus = field->window()->focusWidget();
    return focus && (focus == field || field->isAncestorOf(focus));
}

} // namespace

class TestMediumInput : public QObject, private ui::ProgramFixture {
    Q_OBJECT
    std::unique_ptr<Tfrm_main> frm;

    QStringList record(int key)
    {
        const std::string k = std::to_string(key);
        const auto rows = catalogue->sql().rows(
            "select titel, autor, jahr, isbn, ort_fk, typ_fk, kategorie_fk,"
            " replace(beschreibung, '\\r\\n', ''), ausgeliehen, date_format(datum, '%Y-%m-%d'),"
            " tage from medium where medium_pk = " +
            k);
        if (rows.empty())
            return {"<none>"};
        QStringList out;
        for (const std::string& value : rows[0])
            out << AnsiString(value).toString();
        QStringList words;
        for (const auto& row : catalogue->sql().rows(
                 "select wort from stichwort where medium_fk = " + k + " order by wort"))
            words << AnsiString(row[0]).toString();
        return out << words.join(u',');
    }
    int media() { return std::stoi(catalogue->sql().value("select count(*) from medium")); }

    // An editor of its own in edit mode, filled as the edit command fills it, and shown.
    std::unique_ptr<Tfrm_medium> editor(bool newMode = false)
    {
        auto e = std::make_unique<Tfrm_medium>(nullptr);
        if (newMode) {
            e->start_in();
        } else {
            e->start_update();
            e->edt_pk->setText("1");
            e->edt_name->setText("Mittag");
            e->cbo_standort->setEditText("Regal");
            e->cbo_typ->setEditText("Buch");
            e->cbo_kategorie->setEditText("Roman");
            e->dat_datum->SetDate(EncodeDate(2020, 3, 10));
            e->edt_tage->setText("14");
        }
        e->show();
        QApplication::setActiveWindow(e.get());
        if (!QTest::qWaitForWindowActive(e.get()))
            return nullptr;
        return e;
    }

private slots:
    void initTestCase()
    {
        startProgram("input");
        catalogue->sql().exec("insert into kategorie (name) values ('Roman'), ('Sachbuch');"
                              "insert into mediumtyp (typ) values ('Buch'), ('Film');"
                              "insert into standort (ort) values ('Regal'), ('Keller')");
    }
    void init() { catalogue->sql().exec(kSeed); }
    void cleanup() { ui::closeMainWindow(frm); }
    void cleanupTestCase() { endProgram(); }

    // A field holding what the catalogue's code page cannot hold is named with those
    // characters, on its page and with the focus; every field keeps its text. Typing is not
    // stopped: what was pasted stays to be seen.
    void foreignCharacters_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString quoted = QString::fromUtf8("„%1“");
        QTest::newRow("title, twice the same") << "edt_name" << QString::fromUtf8("Tokio 日本日")
                                               << foreign("Titel", QString::fromUtf8("„日“, „本“"));
        QTest::newRow("author") << "edt_autor" << QString::fromUtf8("Łukasz")
                                << foreign("Autor", QString::fromUtf8("„Ł“"));
        QTest::newRow("year, full-width digits")
            << "edt_jahr" << QString::fromUtf8("１９９９")
            << foreign("Jahr", QString::fromUtf8("„１“, „９“"));
        QTest::newRow("keywords, a zero-width space")
            << "mem_stichwort" << QString::fromUtf8("Wort\u200b\nBaum")
            << foreign("Stichworte", "U+200B");
        QTest::newRow("ISBN, a hyphen of its own")
            << "edt_isbn" << QString::fromUtf8("978‐3") << foreign("ISBN-Nummer", quoted.arg("‐"));
        QTest::newRow("description, a combining accent")
            << "mem_beschrieb" << QString::fromUtf8("Cafe\u0301\nZweite Zeile")
            << foreign("Beschreibung", "U+0301");
        QTest::newRow("borrower, beyond 16 bits")
            << "edt_auslei" << QString::fromUtf8("Jürg 😀")
            << foreign("Ausgeliehen an", QString::fromUtf8("„😀“"));
        QString twelve, ten;
        for (char16_t c = 0x4E00; c < 0x4E0C; ++c) {
            twelve += QChar(c);
            if (c < 0x4E0A)
                ten += (ten.isEmpty() ? "" : ", ") + quoted.arg(QChar(c));
        }
        QTest::newRow("a pasted text: ten named")
            << "edt_name" << twelve << foreign("Titel", ten + " und weitere");
    }
    void foreignCharacters()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        auto e = editor();
        QVERIFY(e);
        auto* w = e->findChild<QWidget*>(field);
        retype(*e, w, text);
        e->tab_medium->setCurrentWidget(e->tab_titel);
        e->btn_ok->setFocus(Qt::TabFocusReason);
        const QStringList typed = fields(*e);
        QVERIFY(typed.contains(text));
        QStringList seen;
        DialogDriver driver;
        driver.then(ui::box(seen));
        QVERIFY(!e->check_input());
        QCOMPARE(seen, QStringList{message});
        QCOMPARE(fields(*e), typed);
        QCOMPARE(e->tab_medium->currentWidget(), pageOf(*e, w));
        QVERIFY(focused(w));
        QCOMPARE(driver.Unexpected, QStringList());
    }

    // A list's text is an entry, compared as the list compares when the user leaves it, or it
    // is refused with the + button named; a "%" in it is shown as typed. Taking the entry of
    // a text changes no flag: the name loaded with the medium is no change of the user's.
    void listTexts_data()
    {
        QTest::addColumn<bool>("newMode");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("typed"); // "-": the text the editor was filled with
        QTest::addColumn<QString>("taken"); // the entry selected, or the message
        QTest::addColumn<bool>("changed");  // data_changed afterwards
        QTest::newRow("edit, the loaded names") << false << "cbo_kategorie"
                                                << "-"
                                                << "Roman" << false;
        QTest::newRow("new, the first entry") << true << "cbo_standort"
                                              << "-"
                                              << "Keller" << false;
        QTest::newRow("new, another entry typed") << true << "cbo_kategorie"
                                                  << "Sachbuch"
                                                  << "Sachbuch" << true;
        QTest::newRow("edit, an entry typed in another case") << false << "cbo_standort"
                                                              << "KELLER"
                                                              << "Keller" << true;
        QTest::newRow("new, no entry")
            << true << "cbo_kategorie"
            << "Krimi" << noEntry("Krimi", "keine Kategorie", "eine Kategorie", "neue Kategorie")
            << true;
        QTest::newRow("edit, no entry, with a percent sign")
            << false << "cbo_typ"
            << "Buch%1" << noEntry("Buch%1", "kein Typ", "einen Typ", "neuen Typ") << true;
        QTest::newRow("edit, the location emptied")
            << false << "cbo_standort"
            << ""
            << QString::fromUtf8("Es ist kein Standort gewählt. Wählen Sie einen Standort aus der "
                                 "Liste, oder tippen Sie einen Namen ein und legen Sie ihn mit "
                                 "der grünen Plus-Schaltfläche rechts neben der Liste als neuen "
                                 "Standort an.")
            << true;
    }
    void listTexts()
    {
        QFETCH(bool, newMode);
        QFETCH(QString, list);
        QFETCH(QString, typed);
        QFETCH(QString, taken);
        QFETCH(bool, changed);
        auto e = editor(newMode);
        QVERIFY(e);
        auto* box = e->findChild<QComboBox*>(list);
        if (typed != QLatin1String("-"))
            retype(*e, box, typed);
        else
            e->edt_name->setFocus(); // the title keeps the focus: nothing left
        const QStringList before = fields(*e);
        QStringList seen;
        DialogDriver driver;
        driver.then(ui::box(seen));
        const bool accepted = e->check_input();
        QCOMPARE(driver.Unexpected, QStringList());
        QCOMPARE(e->data_changed, changed);
        if (!accepted) {
            QCOMPARE(seen, QStringList{taken});
            QCOMPARE(fields(*e), before);
            QVERIFY(focused(box));
            QCOMPARE(box->lineEdit()->selectedText(), typed);
            return;
        }
        QCOMPARE(seen, QStringList());
        QCOMPARE(box->currentText(), taken);
        QCOMPARE(box->itemText(box->currentIndex()), taken);
    }

    // The period is checked where it is used, not while it is typed: leaving the field, a
    // period button, "Heute", OK. The check of a field left with the mouse waits until the
    // click has taken effect: a period button clicked has replaced the period by then.
    // Abbrechen and the help do not use it; in new mode it is locked and not stored. The
    // period was 14 days from 10 March 2020.
    void periodCheckedWhereUsed_data()
    {
        QTest::addColumn<bool>("newMode");
        QTest::addColumn<QString>("keys"); // \b is the backspace key
        QTest::addColumn<QString>("then"); // how the field is left
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("after"); // the period afterwards
        QTest::addColumn<int>("offset");    // the return date, days after 10 March 2020
        QTest::addColumn<bool>("open");     // the editor afterwards
        const QString empty = "'' is not a valid integer value" + kOnlyWhole;
        QTest::newRow("emptied and retyped, Tab") << false << "\b\b21"
                                                  << "tab" << QStringList() << "21" << 21 << true;
        // On its way to empty the field read "1".
        QTest::newRow("emptied, Tab") << false << "\b\b"
                                      << "tab" << QStringList{empty} << "" << 1 << true;
        QTest::newRow("emptied, a click into the borrower")
            << false << "\b\b"
            << "borrower" << QStringList{empty} << "" << 1 << true;
        QTest::newRow("emptied, a period button") << false << "\b\b"
                                                  << "30" << QStringList() << "30" << 30 << true;
        QTest::newRow("emptied, Heute") << false << "\b\b"
                                        << "heute" << QStringList{empty} << "" << 1 << true;
        QTest::newRow("emptied, OK") << false << "\b\b"
                                     << "ok" << QStringList{empty} << "" << 1 << true;
        QTest::newRow("emptied, Abbrechen") << false << "\b\b"
                                            << "cancel" << QStringList() << "" << 1 << false;
        QTest::newRow("a letter, Tab")
            << false << "x"
            << "tab" << QStringList{"'14x' is not a valid integer value" + kOnlyWhole} << "14x"
            << 14 << true;
        QTest::newRow("beyond the calendar, Tab")
            << false << "\b\b3000000"
            << "tab" << QStringList{"Date exceeds maximum of 31.12.9999" + kOnlyWhole} << "3000000"
            << 300000 << true;
        QTest::newRow("new mode, the locked period, Tab and OK")
            << true << ""
            << "ok" << QStringList() << "" << 0 << false;
    }
    void periodCheckedWhereUsed()
    {
        QFETCH(bool, newMode);
        QFETCH(QString, keys);
        QFETCH(QString, then);
        QFETCH(QStringList, shown);
        QFETCH(QString, after);
        QFETCH(int, offset);
        QFETCH(bool, open);
        auto e = editor(newMode);
        QVERIFY(e);
        // The loan date as it was lent: showing put today there.
        const TDateTime day = EncodeDate(2020, 3, 10);
        e->dat_datum->SetDate(day);
        e->tab_medium->setCurrentWidget(e->tab_auslei);
        e->edt_tage->setFocus(Qt::TabFocusReason);
        e->edt_tage->end(false);
        QStringList seen;
        DialogDriver driver;
        for (int i = 0; i < 3; ++i)
            driver.then(ui::box(seen));
        for (const QChar key : keys)
            if (key == u'\b')
                QTest::keyClick(e->edt_tage, Qt::Key_Backspace);
            else
                QTest::keyClicks(e->edt_tage, QString(key));
        QCOMPARE(seen, QStringList());
        if (then == QLatin1String("tab")) {
            QTest::keyClick(e->edt_tage, Qt::Key_Tab);
        } else {
            if (newMode)
                QTest::keyClick(e->edt_tage, Qt::Key_Tab);
            QWidget* const targets[] = {e->edt_auslei, e->btn_drei, e->btn_heute, e->btn_ok,
                                        e->btn_cansle};
            const QStringList names = {"borrower", "30", "heute", "ok", "cancel"};
            QTest::mouseClick(targets[names.indexOf(then)], Qt::LeftButton, {}, QPoint(5, 5));
        }
        // What the leaving left to do once the click is done.
        QCoreApplication::processEvents();
        QCOMPARE(seen, shown);
        QCOMPARE(e->edt_tage->text(), after);
        if (!newMode)
            QCOMPARE(e->dat_ende->GetDate().Val - day.Val, double(offset));
        QCOMPARE(e->isVisible(), open);
        if (then == QLatin1String("ok") && open) {
            QCOMPARE(e->tab_medium->currentWidget(), e->tab_auslei);
            QVERIFY(focused(e->edt_tage));
        }
        if (then == QLatin1String("borrower"))
            QVERIFY(focused(e->edt_auslei));
        if (then == QLatin1String("heute"))
            QCOMPARE(e->dat_datum->GetDate().Val, Today().Val);
        QCOMPARE(driver.Unexpected, QStringList());
    }

    // OK through the commands: the input that OK refuses stays in the editor as typed, on the
    // page and with the focus of the field at fault, and nothing is stored; OK after the
    // mending stores all of it. Keyword lines that stand for one word are one keyword, without
    // a word said.
    void refusedThenStored_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // none: stored at once
        QTest::addColumn<QString>("mend");    // "+": the add button beside the list
        QTest::addColumn<QStringList>("changes");
        const QString word50(50, u'w');
        const char* const commands[] = {"new", "edit"};
        for (const char* command : commands) {
            const auto row = [&](const char* what) -> QTestData& {
                return QTest::addRow("%s, %s", command, what) << QString::fromLatin1(command);
            };
            row("keyword lines as one word") << "mem_stichwort"
                                             << "Roman\nBaum\nbaum\n\nDanzig"
                                             << ""
                                             << "" << QStringList{"stichworte=Baum,Danzig,Roman"};
            row("a keyword of 51 bytes")
                << "mem_stichwort"
                << "Roman\n" + word50 + "w" << tooLong(word50 + "w") << "Roman\n" + word50
                << QStringList{"stichworte=Roman," + word50};
            row("Japanese in a keyword")
                << "mem_stichwort" << QString::fromUtf8("Roman\nTokio 日本")
                << foreign("Stichworte", QString::fromUtf8("„日“, „本“")) << "Roman\nTokio"
                << QStringList{"stichworte=Roman,Tokio"};
        }
        QTest::newRow("new, Japanese in the title")
            << "new"
            << "edt_name" << QString::fromUtf8("Neuling 日本")
            << foreign("Titel", QString::fromUtf8("„日“, „本“")) << "Neuling" << QStringList();
        QTest::newRow("new, a category that is no entry")
            << "new"
            << "cbo_kategorie"
            << "Krimi" << noEntry("Krimi", "keine Kategorie", "eine Kategorie", "neue Kategorie")
            << "+" << QStringList{"kategorie_fk=3"};
        QTest::newRow("edit, a category that is no entry")
            << "edit"
            << "cbo_kategorie"
            << "Krimi" << noEntry("Krimi", "keine Kategorie", "eine Kategorie", "neue Kategorie")
            << "sachbuch" << QStringList{"kategorie_fk=2"};
        QTest::newRow("edit, Japanese in the description")
            << "edit"
            << "mem_beschrieb" << QString::fromUtf8("Zeile 日本")
            << foreign("Beschreibung", QString::fromUtf8("„日“, „本“")) << "Zeile eins"
            << QStringList{"beschreibung=Zeile eins"};
        QTest::newRow("edit, an emoji in the borrower")
            << "edit"
            << "edt_auslei" << QString::fromUtf8("Jürg 😀")
            << foreign("Ausgeliehen an", QString::fromUtf8("„😀“")) << QString::fromUtf8("Jürg")
            << QStringList{QString::fromUtf8("ausgeliehen=Jürg"),
                           "datum=" + QDate::currentDate().toString(Qt::ISODate)};
        QTest::newRow("edit, the period emptied")
            << "edit"
            << "edt_tage"
            << ""
            << "'' is not a valid integer value" + kOnlyWhole << "21" << QStringList{"tage=21"};
    }
    void refusedThenStored()
    {
        QFETCH(QString, command);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, mend);
        QFETCH(QStringList, changes);
        const bool newMode = command == QLatin1String("new");
        ui::openMainWindow(frm, catalogue->name());
        QStringList seen;
        QStringList held; // the fields after the refusal, and as typed before it
        QStringList problems;
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            auto* e = qobject_cast<Tfrm_medium*>(w);
            QVERIFY(e);
            QApplication::setActiveWindow(e);
            QVERIFY(QTest::qWaitForWindowActive(e));
            if (newMode)
                retype(*e, e->edt_name, "Neuling");
            retype(*e, e->edt_autor, "Storm");
            QWidget* faulty = e->findChild<QWidget*>(field);
            retype(*e, faulty, typed);
            const QStringList before = fields(*e);
            QTest::mouseClick(e->btn_ok, Qt::LeftButton);
            if (message.isEmpty())
                return;
            QVERIFY(e->isVisible());
            held << fields(*e) << before;
            if (e->tab_medium->currentWidget() != pageOf(*e, faulty) || !focused(faulty))
                problems << "page or focus not at the field";
            if (media() != 1 || record(1) != kMittag)
                problems << "something was stored";
            if (mend == QLatin1String("+"))
                QTest::mouseClick(e->btn_eingabe_kat, Qt::LeftButton);
            else
                retype(*e, faulty, mend);
            QTest::mouseClick(e->btn_ok, Qt::LeftButton);
            if (e->isVisible())
                problems << "the mended input was refused";
        });
        if (!message.isEmpty())
            driver.then(ui::box(seen));
        if (mend == QLatin1String("+"))
            driver.then(ui::box(seen));
        // Mittag is the first row, which the edit command takes without a click.
        frm->findChild<TAction*>(newMode ? "act_neu" : "act_offen")->trigger();
        QCOMPARE(driver.Unexpected, QStringList());
        QCOMPARE(problems.join(QStringLiteral("; ")), QString());
        QStringList boxes = message.isEmpty() ? QStringList() : QStringList{message};
        if (mend == QLatin1String("+"))
            boxes << QString::fromUtf8("Kategorie wurde erfolgreich angefügt");
        QCOMPARE(seen, boxes);
        if (!message.isEmpty())
            QCOMPARE(held.mid(0, held.size() / 2), held.mid(held.size() / 2));
        const QStringList base = newMode ? kNeuling : with(kMittag, {"autor=Storm"});
        QCOMPARE(media(), newMode ? 2 : 1);
        QCOMPARE(record(newMode ? 2 : 1), with(base, changes));
        if (newMode)
            QCOMPARE(record(1), kMittag);
        QVERIFY(frm->findChildren<Tfrm_medium*>().isEmpty());
    }
};

QTEST_MAIN(TestMediumInput)
#include "test_medium_input.moc"
