#include "platform/vcl/forms.h"

#include "platform/vcl/dialogs.h"

#include <QKeyEvent>

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
