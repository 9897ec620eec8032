#include "platform/vcl/forms.h"

#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

#include <QKeyEvent>
#include <QShowEvent>

void TNoCancelDialog::reject()
{
    done(mrCancel);
}

void TNoCancelDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TNoCancelDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    QWidget* centre = Application && Application->MainForm ? Application->MainForm : parentWidget();
    if (centre && centre->isVisible())
        move(pos() + centre->frameGeometry().center() - frameGeometry().center());
}
