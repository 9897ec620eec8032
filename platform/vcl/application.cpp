#include "platform/vcl/application.h"

#include "platform/rtl/apperror.h"
#include "platform/vcl/dialogs.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

TApplication* Application = nullptr;

namespace {
const char* kHint = "kollektar_hint";
const char* kHelpContext = "kollektar_help_context";
const char* kHelpKeyword = "kollektar_help_keyword";

// The signals that end the program, and the socket pair that carries them from the signal
// handler, which may do nothing but write, to the message loop.
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int signalPipe[2] = {-1, -1};

extern "C" void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

// Qt's file dialog shows the sizes and dates of its files in the system's formats, which the
// default locale does not reach: it is given them in the formats of the program's locale.
class LocalFileFormats : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex file = mapToSource(index);
        if (index.column() == 3)
            return QLocale().toString(files->lastModified(file), QLocale::ShortFormat);
        return files->isDir(file) ? QString() : QLocale().formattedDataSize(files->size(file));
    }
};

// Only a dialog of Qt's own widgets has a file model of its own.
void useLocalFormats(QFileDialog* dialog)
{
    if (!dialog->proxyModel() && dialog->findChild<QFileSystemModel*>())
        dialog->setProxyModel(new LocalFileFormats(dialog));
}

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
    if (signalPipe[0] >= 0) {
        for (int sig : kSignals)
            std::signal(sig, SIG_DFL);
    }
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

void TApplication::Initialize()
{
    // Qt's own German, as the date settings are the program's own: not the locale's.
    auto* translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_de"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    // Its formats too, those of Germany: the margins of the page setup, the months of the
    // calendar. The program's own conversions of numbers and dates take no locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    watchSignals();
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { Terminate(); });
}

void TApplication::watchSignals()
{
    if (signalPipe[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        Terminate();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : kSignals)
        ::sigaction(sig, &action, nullptr);
}

void TApplication::Terminate()
{
    // Every message loop ends, the nested ones of open dialogs too, which then return as
    // cancelled; a dialog opened on the way back returns at once. Run closes the main window
    // once the handlers that were running have returned.
    terminated_ = true;
    QCoreApplication::exit(0);
}

void TApplication::Run()
{
    if (MainForm && !failure_ && !terminated_ && !MainForm->isVisible())
        MainForm->show();
    const bool unshown = MainForm && !MainForm->isVisible();
    // The loop would start afresh: a request to end that came while the window was made
    // and shown ends it here.
    if (!failure_ && !terminated_)
        QApplication::exec();
    // The loop can end otherwise than by the main window's close: a signal, the end of the
    // session. The window then closes as by its close command.
    if (!failure_ && MainForm && (MainForm->isVisible() || (terminated_ && unshown)))
        MainForm->close();
    terminated_ = false;
    if (failure_) {
        std::exception_ptr error = failure_;
        failure_ = nullptr;
        std::rethrow_exception(error);
    }
}

void TApplication::hintFor(QObject* target)
{
    hintWindow_ = target->isWidgetType() ? static_cast<QWidget*>(target)->window() : nullptr;
    setHint(GetLongHint(GetHint(target)));
}

void TApplication::setHint(const String& hint)
{
    Hint = hint;
    if (OnHint)
        Guard(this, [this] { OnHint(this); });
}

bool TApplication::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
        if (auto* dialog = qobject_cast<QFileDialog*>(watched))
            useLocalFormats(dialog);
        break;
    case QEvent::Hide:
        // A closed dialog's hint would stay when no control is entered after it.
        if (watched == hintWindow_ && !static_cast<QWidget*>(watched)->isVisible()) {
            hintWindow_ = nullptr;
            setHint(String());
        }
        break;
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
