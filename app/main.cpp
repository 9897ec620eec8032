#include "app/entry.h"
#include "ui/main_frm_images.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // The one option: answered before any window system is needed.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("kollektar %s\n", KOLLEKTAR_VERSION);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(KOLLEKTAR_VERSION));
    // The window belongs to the menu entry of this name and shows its icon.
    QApplication::setDesktopFileName(QStringLiteral(KOLLEKTAR_APP_ID));
    QApplication::setWindowIcon(main_application_icon());
    return wWinMain();
}
