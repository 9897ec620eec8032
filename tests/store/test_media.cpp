// The media record: its defaults, the rules of its setters and copies as values of their own.
#include "store/media.h"
#include "tests/support/checks.h"

#include "platform/rtl/exception.h"

#include <QtTest>

#include <climits>
#include <cmath>
#include <limits>
#include <optional>

using namespace testdb;

Q_DECLARE_METATYPE(AnsiString)

namespace {

// Every member by name, so a test can say which one a setter may change.
QMap<QString, QString> dump(const Media& m)
{
    return {
        {"key", QString::number(m.get_key())},
        {"titel", show(m.get_titel())},
        {"autor", show(m.get_autor())},
        {"ortfk", QString::number(m.get_ortfk())},
        {"standortname", show(m.get_standortname())},
        {"beschrieb", show(m.get_beschrieb())},
        {"jahr", show(m.get_jahr())},
        {"typfk", QString::number(m.get_typfk())},
        {"kategoriefk", QString::number(m.get_kategoriefk())},
        {"typname", show(m.get_typname())},
        {"katname", show(m.get_katname())},
        {"auslei", show(m.get_auslei())},
        {"datum", show(m.get_datum())},
        {"stichworte", show(m.get_stichworte())},
        {"isbn", show(m.get_isbn())},
        {"tage", QString::number(m.get_tage())},
    };
}

// A record whose every member holds a valid value of its own.
Media filled()
{
    Media m;
    m.set_key(7);
    m.set_titel("Der Zauberberg");
    m.set_autor("Thomas Mann");
    m.set_ortfk(8);
    m.set_standortname("Wohnzimmer");
    m.set_beschrieb({"Roman\r", "zwei B\xE4nde\r"});
    m.set_jahr("1924");
    m.set_typfk(9);
    m.set_kategoriefk(10);
    m.set_typname("Buch");
    m.set_katname("Belletristik");
    m.set_auslei("Anna");
    m.set_datum(TDateTime(40000.5));
    m.set_stichworte({"Davos", "Sanatorium"});
    m.set_isbn("978-3-10-048185-6");
    m.set_tage(14);
    return m;
}

// The message of the Exception that f raises; nothing when it raises none.
template <typename F> std::optional<QString> refusal(F f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return std::nullopt;
}

// Calls the setter and checks: either only that member changed to shown, or it raised
// message and the record is as it was.
template <typename F>
void check(Media& m, const QString& field, F set, const QString& shown, const QString& message)
{
    auto expected = dump(m);
    const std::optional<QString> error = refusal(set);
    if (message.isEmpty()) {
        QVERIFY2(!error, qPrintable(error.value_or(QString())));
        expected[field] = shown;
    } else {
        QVERIFY(error);
        QCOMPARE(*error, message);
    }
    QCOMPARE(dump(m), expected);
}

const QString kTitel = QString::fromUtf8("Titel ist zu lang. Es sind Maximal 200 Zeichen möglich");
const QString kAutor = QString::fromUtf8("Der Autor kann maximal 100 Zeichen lang sein");
const QString kJahr = QString::fromUtf8("Es sind maximal 30 Zeichen möglich");
const QString kAuslei = QString::fromUtf8("Text zum Auslei darf nicht länger als 150 Zeichen sein");
const QString kDatum = QString::fromUtf8("Datum liegt zu weit in der Vergangenheit");

} // namespace

class TestMedia : public QObject {
    Q_OBJECT
private slots:
    void defaults_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("C") << "C";
        QTest::newRow("German") << "de_DE";
        QTest::newRow("US English") << "en_US";
        QTest::newRow("Japanese") << "ja_JP";
    }
    // The two dates are read the same whatever the machine's locale says.
    void defaults()
    {
        QFETCH(QString, locale);
        const QLocale saved;
        QLocale::setDefault(QLocale(locale));
        Media m;
        const auto d = dump(m);
        QLocale::setDefault(saved);

        const QMap<QString, QString> expected{
            {"key", "0"},         {"titel", ""},        {"autor", ""},   {"ortfk", "0"},
            {"standortname", ""}, {"beschrieb", "0:"},  {"jahr", ""},    {"typfk", "0"},
            {"kategoriefk", "0"}, {"typname", ""},      {"katname", ""}, {"auslei", ""},
            {"datum", "36526"},   {"stichworte", "0:"}, {"isbn", ""},    {"tage", "0"},
        };
        QCOMPARE(d, expected);
        QCOMPARE(ToQDate(m.get_datum()), QDate(2000, 1, 1));

        QLocale::setDefault(QLocale(locale));
        const auto limit = refusal([&] { m.set_datum(TDateTime(2.0)); });
        const auto noon = refusal([&] { m.set_datum(TDateTime(2.5)); });
        QLocale::setDefault(saved);
        QCOMPARE(limit.value_or(QString()), kDatum);
        QVERIFY(!noon);
    }

    // Each setter stores its own member and no other; the rules below start from this record.
    void setters()
    {
        const QMap<QString, QString> expected{
            {"key", "7"},
            {"titel", "Der Zauberberg"},
            {"autor", "Thomas Mann"},
            {"ortfk", "8"},
            {"standortname", "Wohnzimmer"},
            {"beschrieb", "2:[Roman\\x0d][zwei B\\xe4nde\\x0d]"},
            {"jahr", "1924"},
            {"typfk", "9"},
            {"kategoriefk", "10"},
            {"typname", "Buch"},
            {"katname", "Belletristik"},
            {"auslei", "Anna"},
            {"datum", "40000.5"},
            {"stichworte", "2:[Davos][Sanatorium]"},
            {"isbn", "978-3-10-048185-6"},
            {"tage", "14"},
        };
        QCOMPARE(dump(filled()), expected);
    }

    void lengthRules_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<AnsiString>("value");
        QTest::addColumn<QByteArray>("expectedBytes");
        QTest::addColumn<QString>("message");

        const struct {
            const char* field;
            int limit;
            QString message;
        } limits[] = {{"titel", 200, kTitel},
                      {"autor", 100, kAutor},
                      {"jahr", 30, kJahr},
                      {"auslei", 150, kAuslei}};
        for (const auto& l : limits) {
            const QByteArray at(l.limit, 'x');
            const QByteArray over(l.limit + 1, 'x');
            QTest::addRow("%s empty", l.field) << l.field << AnsiString() << QByteArray() << "";
            QTest::addRow("%s at limit", l.field) << l.field << bytes(at) << at << "";
            QTest::addRow("%s one byte over", l.field)
                << l.field << bytes(over) << over << l.message;
        }

        // Two bytes per character in the caller's bytes: the limit counts bytes, not characters.
        const QByteArray ae = QString::fromUtf8("ä").toUtf8();
        QTest::newRow("titel 100 two-byte sequences")
            << "titel" << bytes(ae.repeated(100)) << ae.repeated(100) << "";
        QTest::newRow("titel 101 two-byte sequences")
            << "titel" << bytes(ae.repeated(101)) << ae.repeated(101) << kTitel;

        // From UTF-16: an umlaut or the euro sign is one byte, a character outside the code
        // page becomes one '?'.
        const QString umlauts = QString(199, QChar(0xE4)) + QChar(0x20AC);
        QTest::newRow("titel 200 code page characters")
            << "titel" << AnsiString(umlauts) << (QByteArray(199, '\xE4') + '\x80') << "";
        QTest::newRow("titel 201 code page characters")
            << "titel" << AnsiString(umlauts + QChar(0xFC))
            << (QByteArray(199, '\xE4') + "\x80\xFC") << kTitel;
        QTest::newRow("titel 200 characters outside the code page")
            << "titel" << AnsiString(QString(200, QChar(0x4E2D))) << QByteArray(200, '?') << "";
        QTest::newRow("titel 201 characters outside the code page")
            << "titel" << AnsiString(QString(201, QChar(0x4E2D))) << QByteArray(201, '?') << kTitel;
    }
    void lengthRules()
    {
        QFETCH(QString, field);
        QFETCH(AnsiString, value);
        QFETCH(QByteArray, expectedBytes);
        QFETCH(QString, message);
        QCOMPARE(QByteArray(value.data(), value.Length()), expectedBytes);

        static const QMap<QString, void (Media::*)(AnsiString)> setters{
            {"titel", &Media::set_titel},
            {"autor", &Media::set_autor},
            {"jahr", &Media::set_jahr},
            {"auslei", &Media::set_auslei},
        };
        Media m = filled();
        check(
            m, field, [&] { (m.*setters.value(field))(value); }, show(value), message);
    }

    void keyRules_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("message");

        const struct {
            const char* field;
            QString message;
        } keys[] = {
            {"key", QString::fromUtf8("Ungültiger Schlüssel")},
            {"ortfk", QString::fromUtf8("Schlüssel für Ort ist ungültig")},
            {"typfk", QString::fromUtf8("Schlüssel für Typ ist ungültig")},
            {"kategoriefk", QString::fromUtf8("Schlüssel für Kategorie ist ungültig")},
        };
        for (const auto& k : keys) {
            QTest::addRow("%s 0", k.field) << k.field << 0 << k.message;
            QTest::addRow("%s -1", k.field) << k.field << -1 << k.message;
            QTest::addRow("%s smallest", k.field) << k.field << INT_MIN << k.message;
            QTest::addRow("%s 1", k.field) << k.field << 1 << "";
            QTest::addRow("%s largest", k.field) << k.field << INT_MAX << "";
        }
        // The loan period has no rule.
        QTest::newRow("tage -3") << "tage" << -3 << "";
        QTest::newRow("tage 0") << "tage" << 0 << "";
    }
    void keyRules()
    {
        QFETCH(QString, field);
        QFETCH(int, value);
        QFETCH(QString, message);

        static const QMap<QString, void (Media::*)(int)> setters{
            {"key", &Media::set_key},     {"ortfk", &Media::set_ortfk},
            {"typfk", &Media::set_typfk}, {"kategoriefk", &Media::set_kategoriefk},
            {"tage", &Media::set_tage},
        };
        Media m = filled();
        check(
            m, field, [&] { (m.*setters.value(field))(value); }, QString::number(value), message);
    }

    void dateRule_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("stored");
        QTest::newRow("1 Jan 1900 00:00") << 2.0 << false;
        QTest::newRow("one millisecond later") << 2.0 + 1.0 / 86400000.0 << true;
        QTest::newRow("1 Jan 1900 12:00") << 2.5 << true;
        QTest::newRow("2 Jan 1900") << 3.0 << true;
        QTest::newRow("31 Dec 1899 23:59") << 2.0 - 1.0 / 1440.0 << false;
        QTest::newRow("30 Dec 1899") << 0.0 << false;
        QTest::newRow("negative") << -1.5 << false;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << false;
        QTest::newRow("1 Jan 2000") << 36526.0 << true;
    }
    void dateRule()
    {
        QFETCH(double, value);
        QFETCH(bool, stored);
        Media m = filled();
        check(
            m, "datum", [&] { m.set_datum(TDateTime(value)); }, show(TDateTime(value)),
            stored ? QString() : kDatum);
    }

    void keywordRule_data()
    {
        QTest::addColumn<QByteArrayList>("before");
        QTest::addColumn<QByteArrayList>("argument");
        QTest::addColumn<QByteArrayList>("after");
        const QByteArrayList two{"Krimi", "Venedig"};
        QTest::newRow("empty list keeps the keywords") << two << QByteArrayList{} << two;
        QTest::newRow("one empty keyword replaces them")
            << two << QByteArrayList{""} << QByteArrayList{""};
        QTest::newRow("order and repeats kept")
            << two << QByteArrayList{"c", "\xC4rger", "c"} << QByteArrayList{"c", "\xC4rger", "c"};
        QTest::newRow("empty list on a new value")
            << QByteArrayList{} << QByteArrayList{} << QByteArrayList{};
    }
    void keywordRule()
    {
        QFETCH(QByteArrayList, before);
        QFETCH(QByteArrayList, argument);
        QFETCH(QByteArrayList, after);
        Media m = filled();
        if (before.isEmpty())
            m = Media();
        else
            m.set_stichworte(list(before));
        check(
            m, "stichworte", [&] { m.set_stichworte(list(argument)); }, show(list(after)),
            QString());
    }

    void description_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("empty list empties it") << QByteArrayList{};
        QTest::newRow("lines as read back") << QByteArrayList{"erste\r", "\r", "", "letzte"};
    }
    void description()
    {
        QFETCH(QByteArrayList, lines);
        Media m = filled();
        check(
            m, "beschrieb", [&] { m.set_beschrieb(list(lines)); }, show(list(lines)), QString());
    }

    void copiesAreIndependent()
    {
        const Media a = filled();
        const auto original = dump(a);
        Media b(a);
        Media c;
        c = a;
        QCOMPARE(dump(b), original);
        QCOMPARE(dump(c), original);

        for (Media* m : {&b, &c}) {
            m->set_key(70);
            m->set_titel("Buddenbrooks");
            m->set_autor("T. Mann");
            m->set_ortfk(80);
            m->set_standortname("Keller");
            m->set_beschrieb({"anders"});
            m->set_jahr("1901");
            m->set_typfk(90);
            m->set_kategoriefk(100);
            m->set_typname("H\xF6rbuch");
            m->set_katname("Klassiker");
            m->set_auslei("Ben");
            m->set_datum(TDateTime(45000.0));
            m->set_stichworte({"L\xFC"
                               "beck"});
            m->set_isbn("3-10-048182-X");
            m->set_tage(-1);
        }
        QCOMPARE(dump(a), original);
        const auto changed = dump(b);
        QCOMPARE(dump(c), changed);
        for (auto it = original.cbegin(); it != original.cend(); ++it)
            QVERIFY2(changed.value(it.key()) != it.value(), qPrintable(it.key()));
    }
};

QTEST_GUILESS_MAIN(TestMedia)
#include "test_media.moc"
