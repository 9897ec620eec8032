#include "platform/vcl/application.h"

#include "platform/rtl/apperror.h"
#include "platform/vcl/dialogs.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QWidget>

TApplication* Application = nullptr;

namespace {
const char* kHint = "kollektar_hint";
const char* kHelpContext = "kollektar_help_context";
const char* kHelpKeyword = "kollektar_help_keyword";
} // namespace

TApplication::TApplication()
{
    Application = this;
    qApp->installEventFilter(this);
    // Errors from places without a caller (a failing statement inside a script) are shown
    // like every other uncaught error.
    SetApplicationErrorHandler([this](const Exception& e) { HandleException(nullptr, e); });
}

TApplication::~TApplication()
{
    SetApplicationErrorHandler(nullptr);
    if (Application == this)
        Application = nullptr;
}

void TApplication::HandleException(QObject* sender, const Exception& error)
{
    if (dynamic_cast<const EAbort*>(&error))
        return;
    if (OnException) {
        try {
            OnException(sender, error);
            return;
        } catch (const Exception& inner) {
            MessageDlg(inner.Message, mtError, {mbOK}, 0);
            return;
        }
    }
    MessageDlg(error.Message, mtError, {mbOK}, 0);
}

bool TApplication::HelpContext(int context)
{
    if (context == 0 || !OnHelp)
        return false;
    bool callHelp = true;
    bool result = false;
    Guard(this, [&] { result = OnHelp(HELP_CONTEXT, context, callHelp); });
    return result;
}

bool TApplication::HelpKeyword(const String& keyword)
{
    if (!OnHelp)
        return false;
    // A keyword request carries no context number but the address of the keyword's text.
    bool callHelp = true;
    bool result = false;
    const String text = keyword;
    Guard(this,
          [&] { result = OnHelp(HELP_KEY, reinterpret_cast<qint64>(text.utf16()), callHelp); });
    return result;
}

void TApplication::Fail(std::exception_ptr error)
{
    if (!failure_)
        failure_ = error;
    QCoreApplication::exit(1);
}

String TApplication::ExeName() const
{
    return QCoreApplication::applicationFilePath();
}

void TApplication::Run()
{
    if (MainForm && !failure_ && !MainForm->isVisible())
        MainForm->show();
    if (!failure_)
        QApplication::exec();
    if (failure_) {
        std::exception_ptr error = failure_;
        failure_ = nullptr;
        std::rethrow_exception(error);
    }
}

void TApplication::hintFor(QObject* target)
{
    Hint = GetLongHint(GetHint(target));
    if (OnHint)
        Guard(this, [this] { OnHint(this); });
}

bool TApplication::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
        if (watched->isWidgetType())
            hintFor(watched);
        break;
    case QEvent::KeyPress:
        // F1 asks for the help of the focused control, or of the nearest enclosing one.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 && watched->isWidgetType()) {
            QWidget* w = QApplication::focusWidget();
            if (!w)
                w = static_cast<QWidget*>(watched);
            for (; w; w = w->parentWidget()) {
                const QVariant keyword = w->property(kHelpKeyword);
                if (keyword.isValid()) {
                    HelpKeyword(keyword.toString());
                    return true;
                }
                if (const int context = GetHelpContext(w)) {
                    HelpContext(context);
                    return true;
                }
            }
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

TApplicationEvents::TApplicationEvents(QObject* parent) : QObject(parent)
{
    if (Application)
        Application->OnHint = [this](QObject* sender) {
            if (OnHint)
                OnHint(sender);
        };
}

TApplicationEvents::~TApplicationEvents()
{
    if (Application)
        Application->OnHint = nullptr;
}

void Guard(QObject* sender, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const Exception& e) {
        if (Application)
            Application->HandleException(sender, e);
    } catch (...) {
        if (Application)
            Application->Fail(std::current_exception());
        else
            throw;
    }
}

void SetHint(QWidget* widget, const String& hint)
{
    widget->setProperty(kHint, hint);
    widget->setToolTip(GetShortHint(hint));
}

String GetHint(const QObject* widget)
{
    for (const QObject* o = widget; o; o = o->parent()) {
        const QVariant hint = o->property(kHint);
        if (hint.isValid() && !hint.toString().isEmpty())
            return hint.toString();
        if (o->isWidgetType() && static_cast<const QWidget*>(o)->isWindow())
            break;
    }
    return String();
}

String GetLongHint(const String& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

String GetShortHint(const String& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

void SetHelpContext(QWidget* widget, int context)
{
    widget->setProperty(kHelpContext, context);
}

int GetHelpContext(const QWidget* widget)
{
    return widget->property(kHelpContext).toInt();
}

void SetHelpKeyword(QWidget* widget, const String& keyword)
{
    widget->setProperty(kHelpKeyword, keyword);
}

String GetHelpKeyword(const QWidget* widget)
{
    return widget->property(kHelpKeyword).toString();
}

String HelpRequestKeyword(qint64 data)
{
    return data ? String::fromUtf16(reinterpret_cast<const char16_t*>(data)) : String();
}
