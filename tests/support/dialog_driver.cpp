#include "tests/support/dialog_driver.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QWindow>
#include <QtTest>

#include <algorithm>

DialogDriver::DialogDriver()
{
    connect(&timer_, &QTimer::timeout, this, &DialogDriver::poll);
    timer_.start(0);
}

DialogDriver::~DialogDriver()
{
    for (const QPointer<QWidget>& w : seen_)
        if (w)
            w->removeEventFilter(this);
}

DialogDriver& DialogDriver::then(Step step)
{
    steps_.push_back(std::move(step));
    return *this;
}

bool DialogDriver::seen(const QWidget* w) const
{
    for (const QPointer<QWidget>& s : seen_)
        if (s == w)
            return true;
    return false;
}

bool DialogDriver::eventFilter(QObject* watched, QEvent* event)
{
    // A dialog that closed and is shown again is a new one.
    if (event->type() == QEvent::Hide) {
        watched->removeEventFilter(this);
        seen_.erase(
            std::remove_if(seen_.begin(), seen_.end(),
                           [watched](const QPointer<QWidget>& s) { return !s || s == watched; }),
            seen_.end());
    }
    return QObject::eventFilter(watched, event);
}

void DialogDriver::poll()
{
    QWidget* w = QApplication::activeModalWidget();
    if (!w || seen(w))
        return;
    // A dialog is answered once it is on the screen, shown whole as a person sees it; a slow
    // machine may get to a step before a dialog that came up has sized itself.
    const bool progressWindow = qobject_cast<QProgressDialog*>(w);
    if (!progressWindow && !(w->windowHandle() && w->windowHandle()->isExposed()))
        return;
    seen_.emplace_back(w);
    w->installEventFilter(this);
    if (auto* progress = qobject_cast<QProgressDialog*>(w)) {
        ++ProgressSeen;
        ProgressMaximum = progress->maximum();
        return;
    }
    if (next_ >= static_cast<int>(steps_.size())) {
        Unexpected << QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(" '") +
                          w->windowTitle() + QLatin1Char('\'');
        if (auto* dialog = qobject_cast<QDialog*>(w))
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    // Run outside the timer's slot, so that a dialog the step opens is answered as well.
    QPointer<QWidget> target = w;
    Step step = steps_[next_++];
    QMetaObject::invokeMethod(
        this,
        [target, step] {
            if (!target)
                return;
            step(target);
            // A step that failed may have left its dialog open; it must not hang the test.
            if (QTest::currentTestFailed() && target && target->isVisible())
                if (auto* dialog = qobject_cast<QDialog*>(target.data()))
                    dialog->reject();
        },
        Qt::QueuedConnection);
}

namespace {

void press(QWidget* dialog, QDialogButtonBox::ButtonRole role)
{
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == role && button->isVisible()) {
                if (!button->isEnabled())
                    break;
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
    if (auto* d = qobject_cast<QDialog*>(dialog))
        d->reject();
    QFAIL("no such button");
}

} // namespace

void DialogDriver::Accept(QWidget* dialog)
{
    press(dialog, QDialogButtonBox::AcceptRole);
}

void DialogDriver::Reject(QWidget* dialog)
{
    press(dialog, QDialogButtonBox::RejectRole);
}

void DialogDriver::Type(QWidget* edit, const QString& text)
{
    QVERIFY(edit);
    auto* line = qobject_cast<QLineEdit*>(edit);
    QVERIFY(line);
    // The dialog is the active window with the focus in the field, as for a person typing.
    QApplication::setActiveWindow(line->window());
    line->setFocus();
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Delete);
    QTest::keyClicks(line, text);
    // A completion list that opened while typing is dismissed, as a click elsewhere would.
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}
