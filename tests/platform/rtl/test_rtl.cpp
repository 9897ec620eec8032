// The run-time vocabulary: 8-bit text, numbers, dates and string lists.
#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

#include <QTemporaryDir>
#include <QtTest>

#include <limits>
#include <stdexcept>

class TestRtl : public QObject {
    Q_OBJECT
private slots:
    void ansiRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("back");
        QTest::newRow("ascii") << "Haus" << QByteArray("Haus") << "Haus";
        QTest::newRow("umlaut") << QString::fromUtf8("ü") << QByteArray("\xFC")
                                << QString::fromUtf8("ü");
        QTest::newRow("euro") << QString::fromUtf8("€") << QByteArray("\x80")
                              << QString::fromUtf8("€");
        QTest::newRow("sz and quotes") << QString::fromUtf8("„Straße“")
                                       << QByteArray("\x84Stra\xDF"
                                                     "e\x93")
                                       << QString::fromUtf8("„Straße“");
        QTest::newRow("outside the code page")
            << QString::fromUtf8("日x") << QByteArray("?x") << "?x";
        QTest::newRow("surrogate pair is one character")
            << QString::fromUtf8("a😀b") << QByteArray("a?b") << "a?b";
        QTest::newRow("unassigned byte keeps its control")
            << QString(QChar(0x81)) << QByteArray("\x81") << QString(QChar(0x81));
        QTest::newRow("NUL byte") << QString(QChar(0)) << QByteArray(1, '\0') << QString(QChar(0));
    }
    void ansiRoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, back);
        const AnsiString a(text);
        QCOMPARE(QByteArray(a.data(), a.Length()), bytes);
        QCOMPARE(a.Length(), bytes.size());
        QCOMPARE(a.toString(), back);
    }

    void ansiBytes()
    {
        QCOMPARE(AnsiString(QString::fromUtf8("ü")).Length(), 1);
        QCOMPARE(AnsiString("\xFC").toString(), QString::fromUtf8("ü"));
        QVERIFY(AnsiString("a") + AnsiString("b") == AnsiString("ab"));
        QVERIFY(AnsiString("a") != AnsiString("b"));
        QCOMPARE(AnsiString(std::string("a\0b", 3)).Length(), 3);
        QVERIFY(AnsiString().IsEmpty());
        QCOMPARE(QByteArray(AnsiString((const char*)nullptr).c_str()), QByteArray());
    }

    // What a text holds beyond the code page, as a person would name it: each character once,
    // a character beyond the 16-bit plane whole.
    void notInCp1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("missing");
        QTest::newRow("all of the code page")
            << QString::fromUtf8("„Straße“ € Œ ž ") + QChar(0x81) + QChar(0) << QStringList();
        QTest::newRow("twice, in order of appearance")
            << QString::fromUtf8("Tokio 日本日")
            << QStringList{QString::fromUtf8("日"), QString::fromUtf8("本")};
        QTest::newRow("beside latin1: a Latin letter, a dash, a space")
            << QString::fromUtf8("Ā–‑") + QChar(0x2009)
            << QStringList{QString::fromUtf8("Ā"), QString::fromUtf8("‑"), QString(QChar(0x2009))};
        QTest::newRow("surrogate pair, lone surrogate")
            << QString::fromUtf8("a😀b") + QChar(0xD800) + "c"
            << QStringList{QString::fromUtf8("😀"), QString(QChar(0xD800))};
    }
    void notInCp1252()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, missing);
        QCOMPARE(NotInCp1252(text), missing);
    }

    void strToInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("plain") << "42" << true << 42;
        QTest::newRow("plus") << "+7" << true << 7;
        QTest::newRow("minus") << "-15" << true << -15;
        QTest::newRow("leading zeros") << "007" << true << 7;
        QTest::newRow("max") << "2147483647" << true << 2147483647;
        QTest::newRow("min") << "-2147483648" << true << int(-2147483647 - 1);
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("leading blank") << " 1" << false << 0;
        QTest::newRow("trailing blank") << "1 " << false << 0;
        QTest::newRow("decimal") << "1.0" << false << 0;
        QTest::newRow("overflow") << "2147483648" << false << 0;
        QTest::newRow("underflow") << "-2147483649" << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("letters") << "12a" << false << 0;
        QTest::newRow("hex") << "0x10" << false << 0;
        QTest::newRow("huge") << "99999999999999999999" << false << 0;
    }
    void strToInt()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        QCOMPARE(StrToIntDef(text, -99), valid ? value : -99);
        try {
            const int v = StrToInt(text);
            QVERIFY2(valid, "accepted a text that is no integer");
            QCOMPARE(v, value);
        } catch (const EConvertError& e) {
            QVERIFY2(!valid, "refused a valid integer");
            QCOMPARE(e.Message, QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
        if (valid)
            QCOMPARE(StrToInt(IntToStr(value)), value);
    }

    void exceptionIsNoStdException()
    {
        // Code that catches Exception& must let standard errors pass.
        bool passed = false;
        try {
            try {
                throw std::out_of_range("x");
            } catch (const Exception&) {
                QFAIL("a standard error was caught as Exception");
            }
        } catch (const std::out_of_range&) {
            passed = true;
        }
        QVERIFY(passed);
        try {
            throw EConvertError("m");
        } catch (const Exception& e) {
            QCOMPARE(e.Message, QStringLiteral("m"));
        }
    }

    void trimRight_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("keeps leading") << "  a  "
                                       << "  a";
        QTest::newRow("controls") << QString("a\r\n\t\x01 ") << "a";
        QTest::newRow("all blank") << " \r "
                                   << "";
        QTest::newRow("inner kept") << "a b"
                                    << "a b";
        QTest::newRow("non-breaking space kept")
            << QString("a") + QChar(0xA0) << QString("a") + QChar(0xA0);
    }
    void trimRight()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(TrimRight(text), trimmed);
        QCOMPARE(TrimRight(AnsiString(text)).toString(), trimmed);
    }

    void dateDayCount()
    {
        QCOMPARE(EncodeDate(1899, 12, 30).Val, 0.0);
        QCOMPARE(EncodeDate(1900, 1, 1).Val, 2.0);
        QCOMPARE(EncodeDate(2000, 1, 1).Val, 36526.0);
        QCOMPARE(FromQDateTime(QDateTime(QDate(1900, 1, 1), QTime(12, 0))).Val, 2.5);
        QCOMPARE(ToQDateTime(TDateTime(-1.25)), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
        QCOMPARE(FromQDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))).Val, -1.25);
        QCOMPARE(DateOf(TDateTime(43000.75)).Val, 43000.0);
        QCOMPARE(Today().Val, FromQDate(QDate::currentDate()).Val);
        const double now = Now().Val;
        QVERIFY(now >= Today().Val && now < Today().Val + 1.0);
    }

    // Any double converts to a defined result: a day that no calendar holds is no date, and
    // its text is empty; the last days a date field and the server take stay real days.
    void farOffDays_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("31.12.9999") << EncodeDate(9999, 12, 31).Val << "31.12.9999";
        QTest::newRow("1 January 10000") << EncodeDate(9999, 12, 31).Val + 1 << "01.01.10000";
        QTest::newRow("infinite") << inf << "";
        QTest::newRow("minus infinite") << -inf << "";
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << "";
        QTest::newRow("1e300") << 1e300 << "";
        QTest::newRow("-1e300") << -1e300 << "";
        QTest::newRow("largest double") << std::numeric_limits<double>::max() << "";
        QTest::newRow("beyond the calendar") << 1e13 << "";
    }
    void farOffDays()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(ToQDate(value).isValid(), !text.isEmpty());
        QCOMPARE(ToQDateTime(value).isValid(), !text.isEmpty());
        QCOMPARE(DateToStr(value), text);
        QCOMPARE(DateTimeToStr(value + 0.5).left(text.size()), text);
    }

    void dateText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QDate>("date");
        QTest::newRow("padded") << "06.01.2018" << true << QDate(2018, 1, 6);
        QTest::newRow("short parts") << "1.2.2003" << true << QDate(2003, 2, 1);
        QTest::newRow("limit") << "01.01.1900" << true << QDate(1900, 1, 1);
        QTest::newRow("blanks around") << " 01.01.2000 " << true << QDate(2000, 1, 1);
        QTest::newRow("two-digit year") << "01.01.18" << true << QDate(2018, 1, 1);
        QTest::newRow("iso") << "2018-01-06" << false << QDate();
        QTest::newRow("slashes") << "01/06/2018" << false << QDate();
        QTest::newRow("day 32") << "32.01.2018" << false << QDate();
        QTest::newRow("29 February, no leap year") << "29.02.2019" << false << QDate();
        QTest::newRow("empty") << "" << false << QDate();
        QTest::newRow("trailing dot") << "01.01.2000." << false << QDate();
    }
    void dateText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QDate, date);
        try {
            const TDateTime d = StrToDate(text);
            QVERIFY2(valid, "accepted a text that is no date");
            QCOMPARE(ToQDate(d), date);
            QCOMPARE(d.Val, FromQDate(date).Val);
        } catch (const EConvertError& e) {
            QVERIFY2(!valid, "refused a valid date");
            QCOMPARE(e.Message, QStringLiteral("'%1' is not a valid date").arg(text));
        }
    }

    void dateTimeText()
    {
        QCOMPARE(DateToStr(EncodeDate(2018, 1, 6)), QStringLiteral("06.01.2018"));
        const TDateTime t = EncodeDate(2019, 3, 1).Val + EncodeTime(14, 5, 9).Val;
        QCOMPARE(DateTimeToStr(t), QStringLiteral("01.03.2019 14:05:09"));
        QCOMPARE(DateTimeToStr(EncodeDate(2019, 3, 1)), QStringLiteral("01.03.2019"));
        QCOMPARE(TimeToStr(t), QStringLiteral("14:05:09"));
        QCOMPARE(StrToDateTime(QStringLiteral("01.03.2019 14:05:09")).Val, t.Val);
        QCOMPARE(StrToDateTime(QStringLiteral("01.03.2019")).Val, EncodeDate(2019, 3, 1).Val);
        try {
            StrToDateTime(QStringLiteral("01.03.2019 25:00"));
            QFAIL("accepted hour 25");
        } catch (const EConvertError& e) {
            QCOMPARE(e.Message, QStringLiteral("'01.03.2019 25:00' is not a valid date and time"));
        }
    }

    void stringList()
    {
        TStringList list;
        QCOMPARE(list.Add("a"), 0);
        QCOMPARE(list.Add(""), 1);
        list.Add(QString::fromUtf8("Grüße €"));
        QCOMPARE(list.Count(), 3);
        QCOMPARE(list.Text(), QString::fromUtf8("a\r\n\r\nGrüße €\r\n"));
        try {
            (void)list[3];
            QFAIL("index 3 of three lines accepted");
        } catch (const EListError& e) {
            QCOMPARE(e.Message, QStringLiteral("List index out of bounds (3)"));
        }

        TMemoryStream stream;
        list.SaveToStream(stream);
        QCOMPARE(QByteArray::fromStdString(stream.Bytes()), QByteArray("a\r\n\r\nGr\xFC\xDF"
                                                                       "e \x80\r\n"));

        list.SetText("x\r\ny\nz\rw");
        QCOMPARE(list.lines(), QStringList({"x", "y", "z", "w"}));
        list.SetText("x\r\n");
        QCOMPARE(list.lines(), QStringList({"x"}));
        list.Clear();
        QCOMPARE(list.Count(), 0);
    }

    // Lines added as code page 1252 bytes, alone or among lines added as Strings, read back
    // exactly through every accessor; 'b' adds a line as bytes, 's' as a String.
    void packedLines_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QString>("kinds");
        const QByteArrayList specials = {
            QByteArray("\x80 \x81\x8D\x8F\x90\x9D \x84\x93\x94\x96\x9F"), QByteArray(),
            QByteArray("\xA0\xC4\xD6\xDC\xDF\xE4\xFF"), QByteArray("Mittag"), QByteArray()};
        QTest::newRow("bytes") << specials << "bbbbb";
        QTest::newRow("strings, then bytes") << specials << "ssbbb";
        QTest::newRow("a string among bytes") << specials << "bbsbb";
        QTest::newRow("bytes after strings after bytes") << specials << "bsbsb";

        // Past the first blocks of bytes and of line ends, with a line longer than a block.
        QByteArrayList many;
        for (int i = 0; i < 40000; ++i)
            many << (i % 7 == 3 ? QByteArray() : "Titel \x80\xE4 " + QByteArray::number(i));
        many[25000] = QByteArray(100000, '\x93');
        QTest::newRow("many") << many << QString(many.size(), u'b');
    }
    void packedLines()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(QString, kinds);
        QStringList want;
        QByteArray saved;
        for (const QByteArray& b : lines) {
            want << AnsiString(b.constData(), static_cast<std::size_t>(b.size())).toString();
            saved += b + "\r\n";
        }
        int misplaced = 0; // lines whose Add did not return their index
        const auto build = [&] {
            TStringList list;
            list.Add(QStringLiteral("vorher"));
            list.Delete(0);
            for (int i = 0; i < lines.size(); ++i) {
                const QByteArray& b = lines[i];
                const int at = kinds[i] == u'b' ? list.AddBytes(b.constData(),
                                                                static_cast<std::size_t>(b.size()))
                                                : list.Add(want[i]);
                misplaced += at != i;
            }
            return list;
        };
        if (lines.size() == 5)
            QCOMPARE(want[0], QString::fromUtf8("€ \u0081\u008D\u008F\u0090\u009D „“”–Ÿ"));
        if (lines.size() == 5)
            QCOMPARE(want[2], QString::fromUtf8("\u00A0ÄÖÜßäÿ"));

        // Line() and Count() read the lines as they are kept.
        const TStringList list = build();
        QCOMPARE(misplaced, 0);
        QCOMPARE(list.Count(), want.size());
        for (int i = 0; i < want.size(); ++i)
            if (list.Line(i) != want[i])
                QFAIL(qPrintable(QStringLiteral("line %1 differs").arg(i)));
        QVERIFY_THROWS_EXCEPTION(EListError, list.Line(int(want.size())));

        // A copy shares the lines; what either adds later is its own.
        TStringList copy = list;
        copy.AddBytes("\x80", 1);
        TStringList shorter = list;
        shorter.Delete(shorter.Count() - 1);
        shorter.AddBytes("x", 1);
        QCOMPARE(copy.Line(copy.Count() - 1), QString::fromUtf8("€"));
        QCOMPARE(shorter.Line(shorter.Count() - 1), QStringLiteral("x"));
        QCOMPARE(shorter.Count(), list.Count());
        QCOMPARE(list.Line(list.Count() - 1), want.last());
        QCOMPARE(copy.lines(), want + QStringList{QString::fromUtf8("€")});

        // Every accessor that hands out Strings.
        TStringList a = build(), b = build(), c = build(), d = build(), e = build();
        QCOMPARE(a.lines(), want);
        QCOMPARE(b.Text(), want.isEmpty() ? QString() : want.join("\r\n") + "\r\n");
        QCOMPARE(c.IndexOf(want[2]), int(want.indexOf(want[2])));
        for (int i = 0; i < want.size(); ++i)
            if (std::as_const(d)[i] != want[i])
                QFAIL(qPrintable(QStringLiteral("line %1 differs through []").arg(i)));
        TMemoryStream stream;
        e.SaveToStream(stream);
        QCOMPARE(QByteArray::fromStdString(stream.Bytes()), saved); // the same bytes again
        e.Insert(1, QStringLiteral("neu"));
        e[0] = QStringLiteral("erste");
        e.Delete(2);
        QCOMPARE(e.lines(), (QStringList{"erste", "neu"} + want.mid(2)));
    }

    void stringListFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("lines.txt");
        TStringList out;
        out.Add("user");
        out.Add(QString::fromUtf8("pässwört"));
        out.SaveToFile(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("user\r\np\xE4ssw\xF6rt\r\n"));
        file.close();

        TStringList in;
        in.LoadFromFile(path);
        QCOMPARE(in.lines(), out.lines());

        // A file written by another editor in UTF-8 with its mark is read as UTF-8.
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F\nx");
        file.close();
        in.LoadFromFile(path);
        QCOMPARE(in.lines(), QStringList({QString::fromUtf8("grüß"), "x"}));

        try {
            in.LoadFromFile(dir.filePath("missing.txt"));
            QFAIL("a missing file was read");
        } catch (const EFileError& e) {
            QVERIFY(e.Message.startsWith("Cannot open file"));
        }
        try {
            out.SaveToFile(dir.filePath("no/such/folder/x.txt"));
            QFAIL("a file was written into a missing folder");
        } catch (const EFileError& e) {
            QVERIFY(e.Message.startsWith("Cannot create file"));
        }
    }
};

QTEST_GUILESS_MAIN(TestRtl)
#include "test_rtl.moc"
