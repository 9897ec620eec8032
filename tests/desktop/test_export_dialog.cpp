// The PDF export of the inventory from the main window, on a real display with a window
// manager: the file-save dialog in German, where it opens, and its question before a file is
// replaced.
#include "platform/vcl/actions.h"
#include "tests/store/catalogue.h"
#include "tests/support/xwindow.h"
#include "tests/ui/ui_fixture.h"
#include "ui/main_frm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {

QByteArray contentOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// The button of the dialog's button box that saves or opens.
QPushButton* acceptButton(QWidget* dialog)
{
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>())
        for (QAbstractButton* b : box->buttons())
            if (box->buttonRole(b) == QDialogButtonBox::AcceptRole)
                return qobject_cast<QPushButton*>(b);
    return nullptr;
}

} // namespace

class TestExportDialog : public QObject, private ui::ProgramFixture {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        startProgram("export");
        app->Initialize(); // Qt's own texts in German, as the program has them
        catalogue->sql().exec("insert into kategorie (name) values ('Roman');"
                              "insert into mediumtyp (typ) values ('Buch');"
                              "insert into standort (ort) values ('Regal');"
                              "insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values "
                              "('Der Zauberberg', 1, 1, 1)");
    }

    void cleanupTestCase() { endProgram(); }

    // The first export opens in the documents folder; a file that exists is replaced only
    // after Qt's question has been answered with "Ja", and "Nein" leaves the dialog open with
    // the name typed. The next export opens in the folder used last, with that name.
    void asksBeforeReplacing()
    {
        ui::forgetSettings();
        ui::writeLogon("root\r\n\r\nlocalhost\r\n" + QByteArray::fromStdString(catalogue->name()) +
                       "\r\n");
        const QDir documents(home.filePath(QStringLiteral("Documents")));
        QVERIFY(documents.mkpath(QStringLiteral("Listen")));
        const QString file = documents.filePath(QStringLiteral("Listen/inventar.pdf"));
        {
            QFile old(file);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("alt");
        }
        ui::freshModule();
        std::unique_ptr<Tfrm_main> frm;
        {
            DialogDriver none;
            frm = std::make_unique<Tfrm_main>(nullptr);
            frm->show();
            QVERIFY(xwindow::waitFramed(frm.get()));
            QCOMPARE(none.Unexpected.join(","), QString());
        }

        QPointer<QFileDialog> save;
        QStringList questions;
        QString keptName;
        QByteArray afterNo;
        auto driver = std::make_unique<DialogDriver>();
        driver
            ->then([](QWidget* w) {
                QCOMPARE(w->objectName(), QStringLiteral("dlg_pdf_export"));
                QVERIFY(w->findChild<QCheckBox*>(QStringLiteral("chk_overwrite"))->isChecked());
                DialogDriver::Accept(w);
            })
            .then([&](QWidget* w) {
                save = qobject_cast<QFileDialog*>(w);
                QVERIFY(save);
                QCOMPARE(w->windowTitle(), QStringLiteral("PDF-Datei speichern"));
                QCOMPARE(w->findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(),
                         QStringLiteral("Suchen in:"));
                QCOMPARE(w->findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text(),
                         QStringLiteral("Datei&name:"));
                QCOMPARE(acceptButton(w)->text(), QStringLiteral("S&peichern"));
                QCOMPARE(save->directory().absolutePath(), documents.absolutePath());
                DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                                   QStringLiteral("Listen/inventar.pdf"));
                QTest::mouseClick(acceptButton(w), Qt::LeftButton);
            })
            .then([&](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                QVERIFY(box);
                questions << box->text();
                QAbstractButton* no = ui::buttonWithText(w, QStringLiteral("&Nein"));
                QVERIFY(no);
                QTest::mouseClick(no, Qt::LeftButton);
                // Back in the file-save dialog, which kept the name; the user saves again.
                QTimer::singleShot(0, save, [&] {
                    keptName = save->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
                    afterNo = contentOf(file);
                    QTest::mouseClick(acceptButton(save), Qt::LeftButton);
                });
            })
            .then([&](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                QVERIFY(box);
                questions << box->text();
                QAbstractButton* yes = ui::buttonWithText(w, QStringLiteral("&Ja"));
                QVERIFY(yes);
                QTest::mouseClick(yes, Qt::LeftButton);
            });
        frm->act_pdf->trigger();
        QCOMPARE(driver->Answered(), 4);
        QCOMPARE(driver->Unexpected, QStringList());
        driver.reset();
        const QString question = QString::fromUtf8(
            "Die Datei inventar.pdf existiert bereits.\nSoll sie überschrieben werden?");
        QCOMPARE(questions, (QStringList{question, question}));
        QCOMPARE(keptName, QStringLiteral("Listen/inventar.pdf"));
        QCOMPARE(afterNo, QByteArray("alt"));
        QVERIFY(contentOf(file).startsWith("%PDF"));

        QString folder, name;
        DialogDriver again;
        again.then([](QWidget* w) { DialogDriver::Accept(w); }).then([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            folder = dialog->directory().absolutePath();
            name = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            DialogDriver::Reject(w);
        });
        frm->act_pdf->trigger();
        QCOMPARE(again.Answered(), 2);
        QCOMPARE(folder, documents.filePath(QStringLiteral("Listen")));
        QCOMPARE(name, QStringLiteral("inventar.pdf"));
        frm->close();
    }
};

QTEST_MAIN(TestExportDialog)
#include "test_export_dialog.moc"
