#pragma once

#include "platform/rtl/ansistring.h"

class QWidget;

// What the system asks of the Windows shell and window functions.

constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWDEFAULT = 10;
constexpr unsigned WM_CLOSE = 0x0010;

struct SHELLEXECUTEINFOW {
    unsigned cbSize = 0;
    unsigned fMask = 0;
    QWidget* hwnd = nullptr;
    String lpVerb;
    String lpFile;
    String lpParameters;
    String lpDirectory;
    int nShow = 0;
};

// Starts a program or opens a document. The help viewer "hh" with "-mapid N file" opens the
// program's help window at context N; it stands in for the HTML Help viewer, which this
// platform does not have.
bool ShellExecuteExW(SHELLEXECUTEINFOW* info);
// Opens an address with the default handler for its kind.
bool ShellExecuteW(QWidget* owner, const String& verb, const String& file, const String& parameters,
                   const String& directory, int show);
// A visible top-level window with exactly this title, or null.
QWidget* FindWindowW(const String& title);
// Only WM_CLOSE is understood: the window is closed before the call returns.
long SendMessageW(QWidget* window, unsigned message, long wParam, long lParam);

// The help window's title and the context it shows (0 where none is open).
extern const char* const kHelpWindowTitle;
int ShownHelpContext();
