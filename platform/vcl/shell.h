#pragma once

#include "platform/rtl/ansistring.h"

class QProcess;
class QWidget;

// What the system asks of the Windows shell and window functions.

constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWDEFAULT = 10;
constexpr unsigned SEE_MASK_NOCLOSEPROCESS = 0x00000040;

// A program that the shell started for its caller.
using HANDLE = QProcess*;

struct SHELLEXECUTEINFOW {
    unsigned cbSize = 0;
    unsigned fMask = 0;
    QWidget* hwnd = nullptr;
    String lpVerb;
    String lpFile;
    String lpParameters;
    String lpDirectory;
    int nShow = 0;
    // With SEE_MASK_NOCLOSEPROCESS: the started program, until EndProcess releases it.
    HANDLE hProcess = nullptr;
};

// The title of the help viewer's window.
extern const char* const kHelpWindowTitle;

// Starts a program as a process of its own. A file without a folder is looked for among Qt's
// own programs, where the help viewer lives, then on the search path. The parameters are
// split at blanks; a text in double quotes stays one parameter, blanks included. The program
// speaks German, as this program does, whatever the user's language. Without
// SEE_MASK_NOCLOSEPROCESS it lives on its own; with it, hProcess holds it, and on Linux it
// ends with this program, also when this program is killed. False, with no process, when the
// program cannot be started.
bool ShellExecuteExW(SHELLEXECUTEINFOW* info);
// Ends a program that ShellExecuteExW started with SEE_MASK_NOCLOSEPROCESS, waits until it
// has gone and releases its handle; one that has ended already is only released.
void EndProcess(HANDLE process);
// Whether that program still runs.
bool ProcessRunning(HANDLE process);

// Opens an address with the default handler for its kind.
bool ShellExecuteW(QWidget* owner, const String& verb, const String& file, const String& parameters,
                   const String& directory, int show);
