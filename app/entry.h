#pragma once

// The program: application object, data module, main window and message loop. Returns 0,
// also after a failure, which it has shown in a message box. Needs the QApplication.
int wWinMain();
