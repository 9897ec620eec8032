// The help file as the program uses it: every help context and keyword that the program's
// windows can ask for has a page of its own, no page or entry of the contents and the index
// leads nowhere, the collection gives the viewer its title, and the program finds its help
// file where it looks for it and starts no viewer without one.
#include "platform/vcl/actions.h"
#include "platform/vcl/application.h"
#include "platform/vcl/ribbon.h"
#include "platform/vcl/shell.h"
#include "platform/vcl/string_grid.h"
#include "tests/store/catalogue.h"
#include "tests/support/processes.h"
#include "tests/ui/ui_fixture.h"
#include "ui/db_frm.h"
#include "ui/help_file.h"
#include "ui/info_frm.h"
#include "ui/kategorie_dlg.h"
#include "ui/main_frm.h"
#include "ui/medium_frm.h"
#include "ui/standort_frm.h"
#include "ui/typ_dlg.h"

#include <QFile>
#include <QHelpEngineCore>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

using testdb::Catalogue;

namespace {

const QString kCollection = QStringLiteral(KOLLEKTAR_HELP_COLLECTION);
const QString kProject = QStringLiteral(KOLLEKTAR_HELP_PROJECT);
const QString kRoot = QStringLiteral("qthelp://de.vantoria.kollektar/hilfe/");

// A help request as "context N" or "keyword K".
QString request(int context)
{
    return QStringLiteral("context %1").arg(context);
}

QString request(const String& keyword)
{
    return QStringLiteral("keyword ") + keyword;
}

// The requests that a window and its controls can make.
void noteRequests(QWidget* window, QSet<QString>& requests)
{
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (const int context = GetHelpContext(w))
            requests << request(context);
        if (const String keyword = GetHelpKeyword(w); !keyword.isEmpty())
            requests << request(keyword);
    }
}

// The page that the help file holds for a request noted as above.
QString topicFor(const QString& noted)
{
    const QString what = noted.section(u' ', 1);
    if (noted.startsWith(QLatin1String("context")))
        return help_topic(kCollection, HELP_CONTEXT, what.toInt());
    return help_topic(kCollection, HELP_KEY, reinterpret_cast<qint64>(what.utf16()));
}

QString withoutFragment(const QUrl& url)
{
    return url.adjusted(QUrl::RemoveFragment).toString();
}

} // namespace

class TestHelp : public QObject, private ui::ProgramFixture {
    Q_OBJECT
    std::unique_ptr<Tfrm_main> frm;
    QHelpEngineCore engine{kCollection};

    // Empty when the link leads to a page of the help file (and to an anchor on it), else
    // what is wrong.
    QString brokenLink(const QUrl& target)
    {
        if (target.scheme() != QLatin1String("qthelp"))
            return QStringLiteral("leads out of the help file");
        const QByteArray page = engine.fileData(target.adjusted(QUrl::RemoveFragment));
        if (page.isEmpty())
            return QStringLiteral("no such file");
        if (target.hasFragment() &&
            !page.contains("id=\"" + target.fragment(QUrl::FullyDecoded).toUtf8() + "\""))
            return QStringLiteral("no such anchor");
        return QString();
    }

    // The help file whose pages the viewer's copy of the collection shows, once the viewer has
    // been started on a collection as the help handler starts it, and ended again; empty when
    // it shows none.
    QString viewedFile(const QString& collection, const QString& copy)
    {
        const auto shown = [&] {
            // Not even opened before the viewer has made it: opening would make an empty one.
            if (!QFileInfo::exists(copy))
                return QString();
            QHelpEngineCore cached(copy);
            cached.setReadOnly(true);
            if (!cached.setupData() || cached.fileData(QUrl(kRoot + "index.html")).isEmpty())
                return QString();
            return QFileInfo(cached.documentationFileName("de.vantoria.kollektar"))
                .canonicalFilePath();
        };
        check_help_copy(collection);
        SHELLEXECUTEINFOW viewer;
        viewer.fMask = SEE_MASK_NOCLOSEPROCESS;
        viewer.lpFile = QStringLiteral("assistant");
        viewer.lpParameters = "-collectionFile \"" + collection + '"';
        if (!ShellExecuteExW(&viewer))
            return QStringLiteral("<no viewer>");
        const bool showsPages = QTest::qWaitFor([&] { return !shown().isEmpty(); });
        EndProcess(viewer.hProcess);
        return showsPages ? shown() : QString();
    }

private slots:
    void initTestCase()
    {
        startProgram("help");
        engine.setReadOnly(true);
        QVERIFY(engine.setupData());
    }
    void init() { ui::openMainWindow(frm, catalogue->name()); }
    void cleanup() { ui::closeMainWindow(frm); }
    void cleanupTestCase() { endProgram(); }

    // The requests are taken from the windows and commands themselves, so that a new one
    // without a page fails here; each topic has a page of its own.
    void everyRequestHasItsPage()
    {
        QSet<QString> requests;
        noteRequests(frm.get(), requests);
        for (TAction* action : frm->findChildren<TAction*>()) {
            if (action->HelpType == htContext && action->HelpContext)
                requests << request(action->HelpContext);
            if (action->HelpType == htKeyword && !action->HelpKeyword.isEmpty())
                requests << request(action->HelpKeyword);
        }
        // Commands that ask for a context of their own.
        const auto handler = Application->OnHelp;
        Application->OnHelp = [&](quint16 command, qint64 data, bool& callHelp) {
            requests << (command == HELP_CONTEXT ? request(int(data)) : QStringLiteral("?"));
            callHelp = false;
            return false;
        };
        frm->act_hilfe->trigger();
        QTest::mouseClick(frm->rib_main->HelpButton(), Qt::LeftButton);
        Application->OnHelp = handler;
        {
            Tfrm_medium editor(frm.get());
            Tfrm_db logon(frm.get());
            Tdlg_kategorie categories(frm.get());
            Tdlg_typ types(frm.get());
            Tfrm_standort locations(frm.get());
            Tfrm_info info(frm.get());
            for (QWidget* window : std::initializer_list<QWidget*>{&editor, &logon, &categories,
                                                                   &types, &locations, &info})
                noteRequests(window, requests);
        }

        QStringList expected;
        for (int context = 101; context <= 112; ++context)
            expected << request(context);
        for (const char* keyword :
             {"Titel eingeben", "Jahrzahl", "Autor erfassen", "Person eingeben", "Datum angeben"})
            expected << request(QString::fromUtf8(keyword));
        QStringList asked = requests.values();
        asked.sort();
        expected.sort();
        QCOMPARE(asked, expected);

        const QString start = engine.customValue(QStringLiteral("defaultHomepage")).toString();
        QSet<QString> pages;
        for (const QString& noted : asked) {
            const QString topic = topicFor(noted);
            QVERIFY2(!topic.isEmpty() && topic != start, qPrintable(noted + ": no page"));
            QVERIFY2(brokenLink(QUrl(topic)).isEmpty(), qPrintable(noted + ": " + topic));
            pages << withoutFragment(QUrl(topic));
        }
        QCOMPARE(pages.size(), asked.size());
    }

    // Links of the pages, and the entries of the contents and the index, lead to pages of the
    // help file; every page is in the contents.
    void contentsAndLinks()
    {
        QStringList broken;
        QSet<QString> pages;
        const QRegularExpression link(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""));
        for (const QUrl& page : engine.files(QStringLiteral("de.vantoria.kollektar"), QString(),
                                             QStringLiteral("html"))) {
            pages << page.toString();
            const QString text = QString::fromUtf8(engine.fileData(page));
            for (auto m = link.globalMatch(text); m.hasNext();) {
                const QString ref = m.next().captured(1);
                const QString why = brokenLink(page.resolved(QUrl(ref)));
                if (!why.isEmpty())
                    broken << page.fileName() + " -> " + ref + ": " + why;
            }
        }
        QCOMPARE(pages.size(), 18); // a start page and one page per topic

        QFile project(kProject);
        QVERIFY(project.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&project);
        QSet<QString> contents;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QString ref = xml.attributes().value(QLatin1String("ref")).toString();
            if (ref.isEmpty())
                continue;
            const QUrl target = QUrl(kRoot).resolved(QUrl(ref));
            const QString why = brokenLink(target);
            if (!why.isEmpty())
                broken << xml.name().toString() + " -> " + ref + ": " + why;
            if (xml.name() == QLatin1String("section"))
                contents << withoutFragment(target);
        }
        QVERIFY(!xml.hasError());
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u'\n')));
        const QStringList missing = (pages - contents).values();
        QVERIFY2(missing.isEmpty(), qPrintable("not in the contents: " + missing.join(u' ')));
    }

    // The viewer's window bears the title the program knows it by.
    void viewerTitle()
    {
        QCOMPARE(engine.customValue(QStringLiteral("WindowTitle")).toString(),
                 QString::fromLatin1(kHelpWindowTitle));
    }

    // The program's folder first, then the data folder of an installed program.
    void findsTheHelpFile_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found");
        QTest::newRow("beside the program") << QStringList{"bin"} << "bin";
        QTest::newRow("installed") << QStringList{"share/kollektar"} << "share/kollektar";
        QTest::newRow("both") << QStringList{"bin", "share/kollektar"} << "bin";
        QTest::newRow("none") << QStringList{} << "";
    }
    void findsTheHelpFile()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        QTemporaryDir root;
        QDir(root.path()).mkpath("bin");
        for (const QString& folder : files) {
            QDir(root.path()).mkpath(folder);
            QVERIFY(QFile::copy(kCollection, root.filePath(folder + "/kollektar_hilfe.qhc")));
        }
        const QString expected = found.isEmpty()
                                     ? QString()
                                     : QDir(root.filePath(found)).filePath("kollektar_hilfe.qhc");
        QCOMPARE(help_collection(root.filePath("bin")), expected);
    }

    // A request the help file has no page for opens its start page; without a help file
    // there is no page.
    void unknownRequests()
    {
        const QString start = engine.customValue(QStringLiteral("defaultHomepage")).toString();
        QVERIFY(!start.isEmpty());
        const String none;
        const String unknown = QStringLiteral("Gibt es nicht");
        QCOMPARE(help_topic(kCollection, HELP_CONTEXT, 999), start);
        QCOMPARE(help_topic(kCollection, HELP_KEY, reinterpret_cast<qint64>(none.utf16())), start);
        QCOMPARE(help_topic(kCollection, HELP_KEY, reinterpret_cast<qint64>(unknown.utf16())),
                 start);
        QCOMPARE(help_topic(QString(), HELP_CONTEXT, 101), QString());
        QCOMPARE(help_topic(home.filePath("fehlt.qhc"), HELP_CONTEXT, 101), QString());
    }

    // The viewer keeps one copy of the collection for the user, shared by every copy of the
    // program. Help from one copy of the help file (A), then from another (B), then A deleted:
    // help from B still shows B's pages.
    void viewerCopyFollowsTheHelpFile()
    {
        // The user's data folder, where the viewer keeps its copy: one of this test's, and out
        // of the test mode, so that the program looks where the viewer does.
        QTemporaryDir data;
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        QStandardPaths::setTestModeEnabled(false);
        const auto restore = qScopeGuard([&] {
            QStandardPaths::setTestModeEnabled(true);
            if (dataHome.isNull())
                qunsetenv("XDG_DATA_HOME");
            else
                qputenv("XDG_DATA_HOME", dataHome);
        });
        const QString copy = data.filePath("vantoria/kollektar-hilfe/kollektar_hilfe.qhc");

        QTemporaryDir folders;
        const QDir built = QFileInfo(kCollection).dir();
        for (const char* folder : {"A", "B"}) {
            QVERIFY(QDir(folders.path()).mkpath(folder));
            for (const char* file : {"kollektar_hilfe.qhc", "kollektar_hilfe.qch"})
                QVERIFY(QFile::copy(built.filePath(file),
                                    folders.filePath(QString(folder) + '/' + file)));
        }
        const QString a = folders.filePath("A/kollektar_hilfe.qhc");
        const QString b = folders.filePath("B/kollektar_hilfe.qhc");
        const auto pagesOf = [&](const char* folder) {
            return QFileInfo(folders.filePath(QString(folder) + "/kollektar_hilfe.qch"))
                .canonicalFilePath();
        };
        const QString pagesOfB = pagesOf("B");

        QCOMPARE(viewedFile(a, copy), pagesOf("A"));
        QCOMPARE(viewedFile(b, copy), pagesOfB);
        QVERIFY(QDir(folders.filePath("A")).removeRecursively());
        QCOMPARE(viewedFile(b, copy), pagesOfB);
    }

    // Beside this test program lies no help file: a help request starts no viewer and shows
    // no message.
    void noHelpFileNoViewer()
    {
        QCOMPARE(help_collection(QCoreApplication::applicationDirPath()), QString());
        DialogDriver driver;
        frm->act_hilfe->trigger();
        frm->strg_main->setFocus();
        QTest::keyClick(frm->strg_main, Qt::Key_F1);
        QVERIFY(!frm->help_info.hProcess);
        QCOMPARE(testdb::runningChildren(QStringLiteral("assistant")), 0);
        QCOMPARE(driver.Unexpected, QStringList());
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
