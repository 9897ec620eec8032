#include "platform/report/report_progress.h"

#include <QApplication>
#include <QDialog>
#include <QProgressDialog>

namespace {

// How often the window is brought up to date, in milliseconds.
const int interval = 40;

} // namespace

QWidget* ReportOwnerWindow()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Window && !qobject_cast<QDialog*>(w))
            return w;
    return nullptr;
}

ReportProgress::ReportProgress(const String& title, const String& label, int maximum,
                               QWidget* parent)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    dialog_ = std::make_unique<QProgressDialog>(label, QStringLiteral("Abbrechen"), 0,
                                                std::max(0, maximum), parent);
    dialog_->setWindowTitle(title);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setValue(0);
    dialog_->show();
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

ReportProgress::~ReportProgress() = default;

void ReportProgress::SetMaximum(int maximum)
{
    if (dialog_ && maximum > 0 && dialog_->maximum() != maximum)
        dialog_->setMaximum(maximum);
}

bool ReportProgress::Step(int value, const String& label)
{
    if (!dialog_)
        return true;
    if (sinceEvents_.elapsed() >= interval ||
        (dialog_->maximum() > 0 && value >= dialog_->maximum())) {
        dialog_->setLabelText(label);
        if (dialog_->maximum() > 0)
            dialog_->setValue(std::min(value, dialog_->maximum()));
        QCoreApplication::processEvents();
        sinceEvents_.restart();
    }
    return !dialog_->wasCanceled();
}
