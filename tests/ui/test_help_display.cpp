// The help viewer on a real display with a window manager: the logon dialog's Hilfe shows a
// window "Kollektar Hilfe" above the dialog, with the focus, and the user can close it while
// the dialog stays open and usable.
#include "help_fixture.h"
#include "platform/vcl/actions.h"
#include "platform/vcl/shell.h"
#include "tests/store/catalogue.h"
#include "tests/support/xwindow.h"
#include "ui/db_frm.h"
#include "ui/main_frm.h"
#include "ui_fixture.h"

#include <QGuiApplication>
#include <QPushButton>

using testdb::Catalogue;

namespace {

// What an X tool prints, trimmed; empty when it fails.
QString x11(const QString& tool, const QStringList& arguments)
{
    return xwindow::run(tool, arguments).trimmed();
}

// The visible top-level window with exactly this title, as a decimal id; empty while there
// is none.
QString windowTitled(const QString& title)
{
    return x11("xdotool",
               {"search", "--onlyvisible", "--name", "^" + QRegularExpression::escape(title) + "$"})
        .section(u'\n', -1);
}

// The managed windows from the bottom of the stack to its top, as decimal ids.
QStringList stacking()
{
    const QString line = x11("xprop", {"-root", "-notype", "_NET_CLIENT_LIST_STACKING"});
    QStringList ids;
    for (const QString& hex : line.section(u'#', 1).split(u',', Qt::SkipEmptyParts))
        ids << QString::number(hex.trimmed().toULongLong(nullptr, 16));
    return ids;
}

} // namespace

class TestHelpDisplay : public QObject, private ui::ProgramFixture {
    Q_OBJECT
    std::unique_ptr<Tfrm_main> frm;

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs a real display with a window manager");
        startProgram("help_display");
        QVERIFY(!ui::helpCollection().isEmpty());
    }
    void cleanupTestCase()
    {
        ui::closeMainWindow(frm);
        endProgram();
    }

    void logonHelpAboveTheDialog()
    {
        ui::openMainWindow(frm, catalogue->name());
        QVERIFY(QTest::qWaitForWindowExposed(frm.get()));
        DialogDriver driver;
        driver.then([this](QWidget* w) {
            auto* dialog = qobject_cast<Tfrm_db*>(w);
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QTest::mouseClick(dialog->btn_hilfe, Qt::LeftButton);
            QString help;
            QTRY_VERIFY_WITH_TIMEOUT(!(help = windowTitled(kHelpWindowTitle)).isEmpty(), 20000);
            const QString logon = QString::number(dialog->winId());
            // Above the dialog, and the window the keyboard goes to.
            QTRY_VERIFY_WITH_TIMEOUT(stacking().indexOf(help) > stacking().indexOf(logon), 5000);
            QVERIFY(stacking().contains(logon));
            QTRY_COMPARE_WITH_TIMEOUT(x11("xdotool", {"getactivewindow"}), help, 5000);
            QCOMPARE(ui::shownTopic(*frm), ui::topicOf(111));

            // The viewer's own Beenden (Ctrl+Q) closes it while the dialog is open.
            x11("xdotool", {"key", "--clearmodifiers", "ctrl+q"});
            QTRY_VERIFY_WITH_TIMEOUT(windowTitled(kHelpWindowTitle).isEmpty(), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(ui::openViewers(), 0, 10000);
            QVERIFY(dialog->isVisible());
            QTest::mouseClick(dialog->btn_abbrechen, Qt::LeftButton);
        });
        frm->act_bank->trigger();
        QCOMPARE(driver.Answered(), 1);
        QCOMPARE(driver.Unexpected, QStringList());
        QVERIFY(frm->isVisible());
    }
};

QTEST_MAIN(TestHelpDisplay)
#include "test_help_display.moc"
