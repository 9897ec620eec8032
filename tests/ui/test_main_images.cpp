// The pictures of the main window's commands and the program's icon come from the program's
// resources; each index shows a picture, and only the commands that stand twice (ribbon and
// quick access toolbar) share one.
#include "platform/vcl/image_list.h"
#include "ui/main_frm_images.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

#include <set>

namespace {

// How many pixels of the picture are not fully transparent.
int inked(const QIcon& icon, int size)
{
    const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.size() != QSize(size, size))
        return 0;
    int n = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}

} // namespace

class TestMainImages : public QObject {
    Q_OBJECT

private slots:
    void everyIndexShowsAPicture_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < kMainImageCount; ++i)
            QTest::addRow("image %d", i) << i;
    }

    void everyIndexShowsAPicture()
    {
        QFETCH(int, index);
        TImageList images(nullptr, 16, 16);
        fill_main_images(images);
        QCOMPARE(images.Count(), kMainImageCount);
        // Drawn at both sizes, and more than a speck: a picture that failed to load is empty.
        QVERIFY(inked(images.Icon(index), 16) > 16 * 16 / 8);
        QVERIFY(inked(images.Icon(index), 32) > 32 * 32 / 8);
    }

    void onlyRepeatedCommandsSharePictures()
    {
        TImageList images(nullptr, 16, 16);
        fill_main_images(images);
        auto same = [&](int a, int b) {
            return images.Icon(a).pixmap(16, 16).toImage() ==
                   images.Icon(b).pixmap(16, 16).toImage();
        };
        const std::set<std::pair<int, int>> shared = {{0, 11}, {2, 12}, {13, 14}};
        for (int a = 0; a < kMainImageCount; ++a)
            for (int b = a + 1; b < kMainImageCount; ++b)
                QVERIFY2(same(a, b) == (shared.count({a, b}) == 1),
                         qPrintable(QStringLiteral("images %1 and %2").arg(a).arg(b)));
    }

    void applicationIcon()
    {
        const QIcon icon = main_application_icon();
        QVERIFY(inked(icon, 32) > 32 * 32 / 2);
        QVERIFY(inked(icon, 16) > 16 * 16 / 2);
    }
};

QTEST_MAIN(TestMainImages)
#include "test_main_images.moc"
