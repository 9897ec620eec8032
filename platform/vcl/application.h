#pragma once

#include "platform/rtl/exception.h"

#include <QObject>
#include <QPointer>

#include <exception>
#include <functional>

class QWidget;

// The kinds of help request: a help context, or a keyword.
constexpr quint16 HELP_CONTEXT = 0x0001;
constexpr quint16 HELP_KEY = 0x0101;

// The silent abort: raised to end an action without a message.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};

// The application object: title, the error and help events every window shares, the hint
// of the control under the mouse, and the message loop. Qt never sees an exception: every
// event handler runs through Guard.
class TApplication : public QObject {
    Q_OBJECT
public:
    TApplication();
    ~TApplication() override;

    String Title;
    String HelpFile;
    bool MainFormOnTaskBar = false;
    // The long part of the hint of the control under the mouse; empty again once the window
    // of that control is hidden.
    String Hint;

    // Installed by the main window. Without it errors are shown in a plain error box.
    std::function<void(QObject* sender, const Exception& error)> OnException;
    // A help request: command, data, the call-help flag. The data of HELP_CONTEXT is the
    // context; that of HELP_KEY points to the keyword (HelpRequestKeyword reads it).
    std::function<bool(quint16 command, qint64 data, bool& callHelp)> OnHelp;
    std::function<void(QObject* sender)> OnHint;

    // Shows an error that no handler caught (EAbort shows nothing).
    void HandleException(QObject* sender, const Exception& error);
    // Asks for help at a context; 0 asks nothing.
    bool HelpContext(int context);
    // Asks for help on a keyword.
    bool HelpKeyword(const String& keyword);

    // The full path of the program file.
    String ExeName() const;

    // Readies the application for the desktop: Qt's own texts (its dialogs and buttons)
    // and formats in German, whatever the locale; SIGTERM, SIGINT, SIGHUP and the end of the
    // desktop session end the program as the main window's close command does.
    void Initialize();
    // Ends the program as the main window's close command does: open dialogs are left as
    // by Cancel, the message loop ends and then the main window closes.
    void Terminate();

    // Shows the main window and runs the message loop until it closes. An error that is not
    // an Exception and escaped a handler ends the loop and is raised here again; one that
    // escaped before the loop began keeps it from running.
    void Run();
    // Called by Guard for an error that is not an Exception: ends the loop.
    void Fail(std::exception_ptr error);

    QWidget* MainForm = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hintFor(QObject* target);
    void setHint(const String& hint);
    void watchSignals();
    // The window of the control whose hint is shown.
    QPointer<QWidget> hintWindow_;
    std::exception_ptr failure_;
    bool terminated_ = false;
};

extern TApplication* Application;

// Binds the application's events to a window's handlers while it exists.
class TApplicationEvents : public QObject {
    Q_OBJECT
public:
    explicit TApplicationEvents(QObject* parent);
    ~TApplicationEvents() override;

    std::function<void(QObject* sender)> OnHint;
};

// Runs an event handler: an Exception goes to the application's error handler and the
// program goes on; any other error ends the message loop and reaches the program entry.
void Guard(QObject* sender, const std::function<void()>& handler);

// Connects a Qt signal to a handler through Guard.
template <class Sender, class Signal, class Handler>
QMetaObject::Connection Bind(Sender* sender, Signal signal, Handler handler)
{
    return QObject::connect(sender, signal, sender,
                            [sender, handler](auto&&...) { Guard(sender, handler); });
}

// The hint of a widget: "short|long". Controls without a hint lend that of their parent.
void SetHint(QWidget* widget, const String& hint);
String GetHint(const QObject* widget);
// The long part of a hint: after the bar, or the whole hint without one.
String GetLongHint(const String& hint);
String GetShortHint(const String& hint);

// Help contexts and keywords of windows and controls.
void SetHelpContext(QWidget* widget, int context);
int GetHelpContext(const QWidget* widget);
void SetHelpKeyword(QWidget* widget, const String& keyword);
// The keyword of a widget with the keyword help type; empty where it has none.
String GetHelpKeyword(const QWidget* widget);
// The keyword of a HELP_KEY request, while the request is being answered.
String HelpRequestKeyword(qint64 data);
