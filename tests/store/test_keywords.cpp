// A medium's keywords as a set, held against the keyword table of a real catalogue: the set
// merges what the table's key takes for the same word, and the check refuses what the column
// cannot hold.
#include "catalogue.h"
#include "platform/rtl/sysutils.h"
#include "store/keywords.h"
#include "tests/support/checks.h"

#include <QtTest>

#include <map>
#include <stdexcept>
#include <string>

using testdb::Catalogue;

namespace {

std::vector<AnsiString> ansi(const QStringList& lines)
{
    std::vector<AnsiString> out;
    for (const QString& line : lines)
        out.emplace_back(line);
    return out;
}

// Whether the server stores the keyword for medium 1 beside the ones it holds already.
bool taken(Catalogue& cat, const AnsiString& word)
{
    try {
        cat.sql().exec("insert into stichwort values (1, '" + cat.sql().escape(word.bytes()) +
                       "')");
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

} // namespace

class TestKeywords : public QObject {
    Q_OBJECT
    std::unique_ptr<Catalogue> cat;

private slots:
    void initTestCase()
    {
        cat = std::make_unique<Catalogue>("keywords");
        cat->sql().exec("insert into kategorie (name) values ('Roman');"
                        "insert into mediumtyp (typ) values ('Buch');"
                        "insert into standort (ort) values ('Regal');"
                        "insert into medium (titel, ort_fk, typ_fk, kategorie_fk)"
                        " values ('Alt', 1, 1, 1)");
    }
    void cleanupTestCase() { cat.reset(); }
    void init() { cat->sql().exec("delete from stichwort"); }

    // Every byte of the code page against every other, as the keyword column weighs them:
    // two one-byte words are the same keyword exactly when the server gives them one weight.
    void sameWordAsTheKeywordColumn()
    {
        cat->sql().exec("create temporary table gewicht like stichwort");
        // One row per byte; the medium column only numbers them.
        std::string rows;
        for (int b = 1; b < 256; ++b)
            rows += std::string(b > 1 ? "," : "") + "(" + std::to_string(b) + ", char(" +
                    std::to_string(b) + "))";
        cat->sql().exec("insert into gewicht values " + rows);
        std::map<int, std::string> weight;
        for (const auto& row :
             cat->sql().rows("select medium_fk, hex(weight_string(wort)) from gewicht"))
            weight[std::stoi(row[0])] = row[1];
        cat->sql().exec("drop temporary table gewicht");
        QCOMPARE(weight.size(), std::size_t(255));
        int mismatches = 0;
        for (int a = 1; a < 256; ++a)
            for (int b = 1; b < 256; ++b) {
                const bool same = same_keyword(AnsiString(std::string(1, char(a))),
                                               AnsiString(std::string(1, char(b))));
                if (same != (weight[a] == weight[b]) && ++mismatches <= 5)
                    qWarning("bytes %02X and %02X: %s here, %s on the server", a, b,
                             same ? "same" : "different", same ? "different" : "same");
            }
        QCOMPARE(mismatches, 0);
    }

    // The set of the lines, and what the keyword table says to it: it takes every keyword of
    // the set, and refuses every dropped line beside them as the same word.
    void setAsTheKeywordKey_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("set");
        QTest::newRow("case, an empty line; the first spelling kept")
            << QStringList{"Roman", "Baum", "baum", "", "Danzig", "BAUM"}
            << QStringList{"Roman", "Baum", "Danzig"};
        QTest::newRow("trailing blanks and tabs trimmed, leading ones count")
            << QStringList{"Baum  ", "Baum\t", " Baum", "   "} << QStringList{"Baum", " Baum"};
        QTest::newRow("umlauts and accents as the server folds them")
            << QString::fromUtf8("Ärger|ärger|Aerger|Café|CAFE|cafè|Müller|Myller|Öl|Ol|Ñandú|"
                                 "nandu")
                   .split(u'|')
            << QString::fromUtf8("Ärger|Aerger|Café|Müller|Öl|Ol|Ñandú").split(u'|');
        QTest::newRow("letters of their own")
            << QString::fromUtf8("Straße|Strasse|Šport|šport|Œuvre|œuvre|Øl|Ol|Åre|Are").split(u'|')
            << QString::fromUtf8("Straße|Strasse|Šport|šport|Œuvre|œuvre|Øl|Ol|Åre|Are")
                   .split(u'|');
        QTest::newRow("nothing but empty lines") << QStringList{"", " ", ""} << QStringList();
    }
    void setAsTheKeywordKey()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, set);
        const std::vector<AnsiString> got = keyword_set(ansi(lines));
        QCOMPARE(testdb::show(got), testdb::show(ansi(set)));
        for (const AnsiString& word : got)
            QVERIFY2(taken(*cat, word), word.c_str());
        // The keywords of the set are stored now; each trimmed line is one of them again.
        for (const AnsiString& line : ansi(lines)) {
            const AnsiString trimmed = TrimRight(line);
            QVERIFY2(trimmed.IsEmpty() || !taken(*cat, trimmed), line.c_str());
        }
    }

    // The column holds 50 bytes, an umlaut being one; the check names the first longer word.
    void lengthLimit()
    {
        const AnsiString fifty(QString(49, u'x') + QString::fromUtf8("ä"));
        const AnsiString longer(QString(50, u'y') + QString::fromUtf8("ö"));
        QCOMPARE(testdb::failureOf([&] { check_keyword_lengths({fifty}); }),
                 QStringLiteral("<no error>"));
        QVERIFY(taken(*cat, fifty));
        QCOMPARE(testdb::failureOf([&] {
                     check_keyword_lengths({fifty, longer, longer});
                 }),
                 QString::fromUtf8("Das Stichwort „") + longer.toString() +
                     QString::fromUtf8("“ ist 51 Zeichen lang. Ein Stichwort kann höchstens 50 "
                                       "Zeichen lang sein; bitte kürzen Sie es."));
        QVERIFY(!taken(*cat, longer));
    }
};

QTEST_MAIN(TestKeywords)
#include "test_keywords.moc"
