// The program entry: an error that is no Exception ends the message loop and the program
// with one box; the running program has Qt's own texts in German.
#include "app/entry.h"
#include "platform/vcl/application.h"
#include "store/medium_db.h"
#include "ui/main_frm.h"
#include "ui_fixture.h"

#include <QDialog>

#include <stdexcept>

class TestEntry : public QObject {
    Q_OBJECT
    QTemporaryDir home;

private slots:
    void initTestCase()
    {
        ui::privateHome(home);
        ui::forgetSettings();
    }

    void crashEndsTheProgram()
    {
        // Whatever comes up while the program starts is cancelled; once the main window
        // runs its loop, a handler fails with an error of the standard library.
        QStringList texts;
        bool failed = false;
        QString cancel; // Qt's own text, as the running program has it
        QTimer user;
        connect(&user, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal))
                    texts << box->text();
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
                return;
            }
            if (frm_main && frm_main->isVisible() && !failed) {
                cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
                failed = true;
                Guard(frm_main, [] { throw std::runtime_error("kaputt"); });
            }
        });
        user.start(10);
        QCOMPARE(wWinMain(), 0);
        QVERIFY(failed);
        QCOMPARE(cancel, QStringLiteral("Abbrechen"));
        QVERIFY(!texts.isEmpty());
        QCOMPARE(texts.last(),
                 QString::fromUtf8("Es ist ein nicht abgefangener Fehler "
                                   "aufgetreten. Programm Kollektar ist abgestürzt."));
        QCOMPARE(texts.first(), QStringLiteral("Datenbankdaten existieren noch nicht. Legen Sie "
                                               "zuerst eine Datenbank an."));
        QVERIFY(!Application);
        QVERIFY(!frm_main);
        QVERIFY(!dat_medium);
    }
};

QTEST_MAIN(TestEntry)
#include "test_entry.moc"
