// A program that keeps another one, as the main window keeps its help viewer: it starts
// "sleep" with its handle kept, writes the started program's process id and waits until it
// is killed.
#include "platform/vcl/shell.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SHELLEXECUTEINFOW info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = "sleep";
    info.lpParameters = "600";
    if (!ShellExecuteExW(&info))
        return 1;
    std::printf("%lld\n", static_cast<long long>(info.hProcess->processId()));
    std::fflush(stdout);
    for (;;)
        ::pause();
}
