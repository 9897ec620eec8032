#include "platform/vcl/border_icons.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The Motif window-manager hints, which every X11 window manager reads.
enum : std::uint32_t {
    kHintsFunctions = 1u << 0,
    kHintsDecorations = 1u << 1,
    kFuncMove = 1u << 2,
    kDecorBorder = 1u << 1,
    kDecorTitle = 1u << 3,
};

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

} // namespace

void SetNoBorderIcons(QWidget* window)
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb") ||
        !window->internalWinId())
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const xcb_atom_t hints = atom(connection, "_MOTIF_WM_HINTS");
    if (hints == XCB_ATOM_NONE)
        return;
    // flags, functions, decorations, input mode, status
    const std::uint32_t value[5] = {kHintsFunctions | kHintsDecorations, kFuncMove,
                                    kDecorBorder | kDecorTitle, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(window->internalWinId()), hints, hints, 32, 5,
                        value);
    xcb_flush(connection);
}
