#pragma once

#include "platform/rtl/ansistring.h"

#include <QElapsedTimer>

#include <memory>

class QProgressDialog;
class QWidget;

// The window that the report engine's dialogs and progress windows stand over: the active
// one, or else the application's first shown window that is no dialog (the dialog that was
// active a moment ago may just have gone). Null without a GUI application.
QWidget* ReportOwnerWindow();

// The progress window of a long step of the report engine: shown at once, modal for the
// application, with a button "Abbrechen". It handles the application's events when it is
// shown and then every few hundredths of a second, so that it is painted and the button
// answers without slowing the step down.
class ReportProgress {
public:
    // A maximum of 0 shows a busy bar. The window stands over parent. Without a GUI
    // application nothing is shown.
    ReportProgress(const String& title, const String& label, int maximum, QWidget* parent);
    ~ReportProgress();
    ReportProgress(const ReportProgress&) = delete;
    ReportProgress& operator=(const ReportProgress&) = delete;

    // Turns a busy bar into one that goes up to maximum.
    void SetMaximum(int maximum);
    // Moves the bar on; the label changes with it. False once the user has cancelled.
    bool Step(int value, const String& label);

private:
    std::unique_ptr<QProgressDialog> dialog_;
    QElapsedTimer sinceEvents_;
};
