#include "platform/vcl/dialogs.h"

#include "platform/vcl/application.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QWidget* owner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return Application ? Application->MainForm : nullptr;
}

// The size of an input box: 45 average characters wide, as the platform's input box is, or
// wider where its caption needs the room beside the title bar's icon and close box; never wider
// than the screen.
QSize inputBoxSize(QDialog& dialog, const String& caption)
{
    const int unit = dialog.fontMetrics().horizontalAdvance(
                         QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                     52;
    QFont titleFont = dialog.font();
    titleFont.setBold(true);
    const int titleBar = dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &dialog);
    int width =
        std::max({45 * unit, QFontMetrics(titleFont).horizontalAdvance(caption) + 4 * titleBar,
                  dialog.sizeHint().width()});
    if (const QScreen* screen = dialog.screen())
        width = std::min(width, screen->availableGeometry().width());
    QLayout* layout = dialog.layout();
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                   : dialog.sizeHint().height();
    return {width, height};
}

} // namespace

int MessageDlg(const String& message, TMsgDlgType type, std::initializer_list<TMsgDlgBtn> buttons,
               int helpContext)
{
    QMessageBox box(owner());
    switch (type) {
    case mtWarning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QStringLiteral("Warnung"));
        break;
    case mtError:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QStringLiteral("Fehler"));
        break;
    case mtInformation:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QStringLiteral("Information"));
        break;
    case mtConfirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QString::fromUtf8("Bestätigen"));
        break;
    case mtCustom:
        box.setWindowTitle(Application ? Application->Title : QString());
        break;
    }
    box.setText(message);
    SetHelpContext(&box, helpContext);
    QPushButton* escape = nullptr;
    int result = mrCancel;
    for (TMsgDlgBtn b : buttons) {
        QPushButton* button = nullptr;
        switch (b) {
        case mbYes:
            button = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
            button->setProperty("modal_result", mrYes);
            break;
        case mbNo:
            button = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
            button->setProperty("modal_result", mrNo);
            escape = button;
            break;
        case mbOK:
            button = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            button->setProperty("modal_result", mrOk);
            break;
        case mbCancel:
            button = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
            button->setProperty("modal_result", mrCancel);
            escape = button;
            break;
        }
        if (!box.defaultButton())
            box.setDefaultButton(button);
    }
    if (buttons.size() == 1)
        escape = box.defaultButton();
    if (escape)
        box.setEscapeButton(escape);
    box.exec();
    if (QAbstractButton* clicked = box.clickedButton())
        result = clicked->property("modal_result").toInt();
    else if (escape)
        result = escape->property("modal_result").toInt();
    return result;
}

String InputBox(const String& caption, const String& prompt, const String& defaultText)
{
    // A dialog frame: a close box, no resizing.
    QDialog dialog(owner(), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(prompt, &dialog);
    label->setWordWrap(true);
    auto* edit = new QLineEdit(defaultText, &dialog);
    edit->setObjectName(QStringLiteral("edit"));
    label->setBuddy(edit);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    edit->selectAll();
    dialog.setFixedSize(inputBoxSize(dialog, caption));
    return dialog.exec() == QDialog::Accepted ? edit->text() : defaultText;
}
