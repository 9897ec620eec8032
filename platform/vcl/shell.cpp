#include "platform/vcl/shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

#include <memory>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

const char* const kHelpWindowTitle = "Kollektar Hilfe";

namespace {

// How long a program may take to end when asked, before it is ended outright.
constexpr int kEndWait = 3000;

// Qt's own programs first: the help viewer of the Qt that this program runs on, not another
// one of the same name on the search path.
QString findProgram(const String& file)
{
    if (file.isEmpty() || file.contains(u'/'))
        return file;
    const QString own =
        QStandardPaths::findExecutable(file, {QLibraryInfo::path(QLibraryInfo::BinariesPath)});
    return own.isEmpty() ? QStandardPaths::findExecutable(file) : own;
}

// The user's environment with a German locale: Qt's programs pick their translations by it.
QProcessEnvironment german()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("de"));
    return environment;
}

} // namespace

bool ShellExecuteExW(SHELLEXECUTEINFOW* info)
{
    if (!info)
        return false;
    info->hProcess = nullptr;
    const QString program = findProgram(info->lpFile);
    if (program.isEmpty())
        return false;
    // Owned by the application until it is released, so that no started program outlives
    // it unnoticed.
    auto process = std::make_unique<QProcess>(QCoreApplication::instance());
    process->setProgram(program);
    process->setArguments(QProcess::splitCommand(info->lpParameters));
    if (!info->lpDirectory.isEmpty())
        process->setWorkingDirectory(info->lpDirectory);
    process->setProcessEnvironment(german());
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    if (!(info->fMask & SEE_MASK_NOCLOSEPROCESS))
        return process->startDetached();
#ifdef Q_OS_LINUX
    // A kept program ends with this one, also when this one is killed outright: a help viewer
    // that outlived a crash would stand beside the next one, out of reach of its bookkeeping.
    const pid_t parent = ::getpid();
    process->setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        // This program died before the request took hold.
        if (::getppid() != parent)
            ::raise(SIGTERM);
    });
#endif
    process->start();
    if (!process->waitForStarted())
        return false;
    info->hProcess = process.release();
    return true;
}

void EndProcess(HANDLE process)
{
    if (!process)
        return;
    if (process->state() != QProcess::NotRunning) {
        process->terminate();
        if (!process->waitForFinished(kEndWait)) {
            process->kill();
            process->waitForFinished(kEndWait);
        }
    }
    delete process;
}

bool ProcessRunning(HANDLE process)
{
    if (!process || process->state() == QProcess::NotRunning)
        return false;
    // An end that no event has reported yet is noticed here.
    return !process->waitForFinished(0);
}

bool ShellExecuteW(QWidget*, const String&, const String& file, const String&, const String&, int)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(file));
}
