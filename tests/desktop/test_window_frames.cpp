// The windows on a real display with a window manager: where the main window's frame comes
// back at each start, a stored state that lies off the screen, the logon dialog's title bar.
#include "platform/vcl/header_control.h"
#include "tests/store/catalogue.h"
#include "tests/support/xwindow.h"
#include "tests/ui/ui_fixture.h"
#include "ui/db_frm.h"
#include "ui/main_frm.h"

#include <QProcess>

using testdb::Catalogue;

namespace {

const char* const kStateKey = "\\Software\\vantoria\\multimedia";
const char* const kGeometry[] = {"top", "left", "width", "height"};

void storeGeometry(const QList<qint64>& values)
{
    TRegistry reg;
    QVERIFY(reg.OpenKey(kStateKey, true));
    for (int i = 0; i < 4; ++i)
        reg.WriteInteger(kGeometry[i], static_cast<int>(values[i]));
    for (int i = 0; i < 6; ++i)
        reg.WriteInteger(QStringLiteral("column%1").arg(i), 60 + i);
}

// top, left, width, height as stored
QRect storedFrame()
{
    TRegistry reg;
    if (!reg.OpenKey(kStateKey, false))
        return QRect();
    return QRect(reg.ReadInteger("left"), reg.ReadInteger("top"), reg.ReadInteger("width"),
                 reg.ReadInteger("height"));
}

// Whether the window manager shows the window maximised.
bool maximizedByWm(const QWidget* window)
{
    const QString state = xwindow::property(window, "_NET_WM_STATE");
    return state.contains(QLatin1String("_NET_WM_STATE_MAXIMIZED_VERT")) &&
           state.contains(QLatin1String("_NET_WM_STATE_MAXIMIZED_HORZ"));
}

// What a user does to maximise a window or bring it back to its normal size: a double click
// on its title bar, which the window manager answers.
void doubleClickTitle(const QWidget* window)
{
    const QRect f = xwindow::frame(window);
    const QList<long> extents = xwindow::numbers(window, "_NET_FRAME_EXTENTS");
    QVERIFY(f.isValid() && extents.size() == 4);
    const int x = f.left() + f.width() / 2;
    const int y = f.top() + int(extents[2]) / 2;
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("mousemove"), QString::number(x), QString::number(y),
                   QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                   QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")});
    QVERIFY2(xdotool.waitForFinished(10000) && xdotool.exitCode() == 0,
             "xdotool (see scripts/setup) could not click");
}

// The stored "maximized", or -1 without it.
int storedMaximized()
{
    TRegistry reg;
    if (!reg.OpenKey(kStateKey, false) || !reg.ValueExists("maximized"))
        return -1;
    return reg.ReadInteger("maximized");
}

QString show(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
}

} // namespace

class TestWindowFrames : public QObject, private ui::ProgramFixture {
    Q_OBJECT

    // One run of the main window: started, framed by the window manager, closed. Returns
    // the frame as the window manager had it.
    QRect run()
    {
        ui::freshModule();
        DialogDriver driver;
        auto frm = std::make_unique<Tfrm_main>(nullptr);
        frm->show();
        [&] { QVERIFY(xwindow::waitFramed(frm.get())); }();
        const QRect placed = xwindow::frame(frm.get());
        frm->close();
        [&] { QCOMPARE(driver.Unexpected.join(","), QString()); }();
        return placed;
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        startProgram("frames");
    }

    void cleanupTestCase() { endProgram(); }

    void init()
    {
        ui::forgetSettings();
        ui::writeLogon("root\r\n\r\nlocalhost\r\n" + QByteArray::fromStdString(catalogue->name()) +
                       "\r\n");
    }

    // The close writes the outer frame as the window manager has it, and the next start puts
    // the frame exactly there: on a first start where the window manager placed the window,
    // and from a stored state.
    void sameFrameAtEveryStart_data()
    {
        QTest::addColumn<QList<qint64>>("stored"); // top, left, width, height; none: no key
        QTest::newRow("first start") << QList<qint64>();
        QTest::newRow("stored") << QList<qint64>{170, 678, 560, 600};
    }

    void sameFrameAtEveryStart()
    {
        QFETCH(QList<qint64>, stored);
        if (!stored.isEmpty())
            storeGeometry(stored);
        QRect first;
        for (int start = 0; start < 3; ++start) {
            const QRect placed = run();
            if (QTest::currentTestFailed())
                return;
            if (start == 0)
                first = stored.isEmpty()
                            ? placed
                            : QRect(int(stored[1]), int(stored[0]), int(stored[2]), int(stored[3]));
            QCOMPARE(show(placed), show(first));
            QCOMPARE(show(storedFrame()), show(placed));
        }
    }

    // A stored state far off the screen: the window comes up whole on the work area, at a
    // usable size, and the close stores where it is.
    void offScreenStateComesBack()
    {
        storeGeometry({99999999, -5000, -300, 2147483647});
        const QRect placed = run();
        if (QTest::currentTestFailed())
            return;
        const QRect area = xwindow::workArea();
        QVERIFY2(area.contains(placed), qPrintable(show(placed) + " on " + show(area)));
        QVERIFY2(placed.width() >= 400 && placed.height() >= 300, qPrintable(show(placed)));
        QCOMPARE(show(storedFrame()), show(placed));
        QCOMPARE(show(run()), show(placed));
    }

    // A window maximised at the close comes back maximised, and returns to the frame it had
    // before it was maximised: the normal frame is stored, not the maximised one, also by a
    // run that stays maximised throughout.
    void maximisedAtClose()
    {
        const QList<qint64> stored{170, 678, 560, 600};
        const QRect normal(678, 170, 560, 600);
        storeGeometry(stored);
        const QRect area = xwindow::workArea();
        for (int start = 0; start < 3; ++start) {
            ui::freshModule();
            DialogDriver driver;
            auto frm = std::make_unique<Tfrm_main>(nullptr);
            frm->show();
            QVERIFY(xwindow::waitFramed(frm.get()));
            if (start == 0) {
                // Shown at its frame; the user maximises it.
                QCOMPARE(show(xwindow::frame(frm.get())), show(normal));
                QVERIFY(!maximizedByWm(frm.get()));
                doubleClickTitle(frm.get());
                QTRY_VERIFY(maximizedByWm(frm.get()));
            } else {
                // Maximised again by the start, over the whole work area.
                QTRY_VERIFY(maximizedByWm(frm.get()));
                QVERIFY(frm->isMaximized());
            }
            QVERIFY(xwindow::waitFramed(frm.get()));
            QCOMPARE(xwindow::frame(frm.get()).size(), area.size());
            if (start == 2) {
                // The user brings it back to its normal size: the frame of the first start.
                doubleClickTitle(frm.get());
                QTRY_VERIFY(!maximizedByWm(frm.get()));
                QVERIFY(xwindow::waitFramed(frm.get()));
                QCOMPARE(show(xwindow::frame(frm.get())), show(normal));
            }
            frm->close();
            QCOMPARE(driver.Unexpected.join(","), QString());
            QCOMPARE(show(storedFrame()), show(normal));
            QCOMPARE(storedMaximized(), start == 2 ? 0 : 1);
        }
    }

    // The logon dialog tells the window manager that it has no close, minimise or maximise
    // box, and the window manager offers none of them.
    void logonTitleBar()
    {
        DialogDriver none;
        auto frm = std::make_unique<Tfrm_main>(nullptr);
        frm->show();
        Tfrm_db dialog(frm.get());
        dialog.show();
        QVERIFY(xwindow::waitFramed(&dialog));
        // flags: functions and decorations; functions: move only; decorations: border and
        // title, without menu, minimise and maximise.
        const QList<long> hints = xwindow::numbers(&dialog, "_MOTIF_WM_HINTS");
        QCOMPARE(hints.mid(0, 3), (QList<long>{0x3, 0x4, 0x2 | 0x8}));
        const QString allowed = xwindow::property(&dialog, "_NET_WM_ALLOWED_ACTIONS");
        for (const char* action : {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ",
                                   "_NET_WM_ACTION_MAXIMIZE_VERT"})
            QVERIFY2(!allowed.contains(QLatin1String(action)), qPrintable(allowed));
        dialog.close();
        frm->close();
    }
};

QTEST_MAIN(TestWindowFrames)
#include "test_window_frames.moc"
