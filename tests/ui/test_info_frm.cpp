// The info box, shown modally and driven by keyboard and mouse.
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "ui/info_frm.h"

#include <QDesktopServices>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

// Stands in for the browser: records the addresses the shell is asked to open.
class Opener : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

namespace {

// Shows the box modally, runs `steps` while it is open and returns its modal result, or -1
// when the steps left it open.
int runBox(Tfrm_info& box, const std::function<void()>& steps)
{
    bool open = false;
    QTimer::singleShot(0, &box, [&] {
        steps();
        QCoreApplication::processEvents();
        open = box.isVisible();
        if (open)
            box.done(-1);
    });
    const int result = box.exec();
    return open ? -1 : result;
}

} // namespace

class TestInfoFrm : public QObject {
    Q_OBJECT

    std::unique_ptr<TApplication> app_;
    QList<qint64> helps_;
    Opener opener_;

private slots:
    void initTestCase()
    {
        app_ = std::make_unique<TApplication>();
        Application->OnHelp = [this](quint16, qint64 data, bool& callHelp) {
            helps_ << data;
            callHelp = false;
            return false;
        };
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &opener_, "open");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    void init()
    {
        helps_.clear();
        opener_.urls.clear();
    }

    void showsWhatTheProgramIsFor()
    {
        Tfrm_info box(nullptr);
        QCOMPARE(box.windowTitle(), QStringLiteral("Info zu Kollektar"));
        QCOMPARE(box.size(), QSize(490, 325));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QCOMPARE(box.lbl_info->text(),
                 QStringLiteral("Verwaltet die Multimediabibliothek eines Privathaushaltes."));
        QCOMPARE(box.lbl_linkinfo->text(), QStringLiteral("Weitere Informationen :"));
        QCOMPARE(box.btn_info->text(), QStringLiteral("OK"));
        QVERIFY(box.btn_info->isDefault());
        QCOMPARE(box.lll_info->text(),
                 QStringLiteral("<a href=\"https://www.vantoria.de\">https://www.vantoria.de</a>"));
        const QList<QWidget*> order = {box.img_info, box.lbl_info, box.btn_info, box.lll_info,
                                       box.lbl_linkinfo};
        QCOMPARE(box.findChildren<QWidget*>(Qt::FindDirectChildrenOnly), order);
        QCOMPARE(box.btn_info->geometry(), QRect(200, 272, 75, 25));
        QCOMPARE(box.img_info->geometry(), QRect(24, 32, 145, 146));
    }

    // A JPEG colour picture of 142 x 142 pixels, shown unscaled.
    void pictureIsAColourJpeg()
    {
        const QByteArray jpeg = Tfrm_info::Picture();
        QVERIFY(jpeg.startsWith("\xFF\xD8\xFF"));
        QImage image;
        QVERIFY(image.loadFromData(jpeg, "JPEG"));
        QCOMPARE(image.size(), QSize(142, 142));
        QVERIFY(!image.allGray());
        QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), 72);
        Tfrm_info box(nullptr);
        QCOMPARE(box.img_info->pixmap().size(), QSize(142, 142));
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("escape leaves it open") << "escape" << -1;
        QTest::newRow("enter") << "enter" << int(mrOk);
        QTest::newRow("the OK button") << "ok" << int(mrOk);
        QTest::newRow("the close box") << "close box" << int(mrCancel);
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        Tfrm_info box(nullptr);
        const int got = runBox(box, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&box));
            // The OK button has the focus.
            QCOMPARE(QApplication::focusWidget(), box.btn_info);
            if (how == QLatin1String("escape"))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else if (how == QLatin1String("enter"))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            else if (how == QLatin1String("ok"))
                QTest::mouseClick(box.btn_info, Qt::LeftButton);
            else
                box.close();
        });
        QCOMPARE(got, result);
    }

    // The link goes to the shell's default handler and the box stays open; Enter then still
    // presses OK instead of opening the link again.
    void linkOpensTheMakersPage()
    {
        Tfrm_info box(nullptr);
        const QList<QUrl> once = {QUrl(QStringLiteral("https://www.vantoria.de"))};
        const int got = runBox(box, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&box));
            QTest::mouseClick(box.lll_info, Qt::LeftButton, {},
                              QPoint(10, box.lll_info->height() / 2));
            QCOMPARE(opener_.urls, once);
            QVERIFY(box.isVisible());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QCOMPARE(opener_.urls, once);
        QCOMPARE(got, int(mrOk));
    }

    void f1AsksForTheBoxsHelp()
    {
        Tfrm_info box(nullptr);
        const int got = runBox(box, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&box));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        });
        QCOMPARE(helps_, QList<qint64>({112}));
        QCOMPARE(got, -1);
    }
};

QTEST_MAIN(TestInfoFrm)
#include "test_info_frm.moc"
