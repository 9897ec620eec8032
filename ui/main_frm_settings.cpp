// The main window's settings: the folder of the logon file and the window state in the
// registry.
#include "ui/main_frm.h"

#include "platform/rtl/sysutils.h"
#include "platform/vcl/header_control.h"
#include "platform/vcl/registry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

const char* const kStateKey = "\\Software\\vantoria\\multimedia";
const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const int kDefaultWidths[6] = {30, 250, 150, 250, 50, 70};
// 1 when the window was maximised at the close; the four values above hold its normal frame.
// Copies that do not know it leave it alone.
const char* const kMaximized = "maximized";
// The smallest outer size a restored window gets (the screen permitting): the ribbon, the
// header and a few rows of the list.
const QSize kMinimumOuter(400, 300);

qint64 bound(qint64 low, qint64 value, qint64 high)
{
    return std::max(low, std::min(value, high));
}

String columnName(int i)
{
    return QStringLiteral("column%1").arg(i);
}

// The stored value, unless this run took it or the user changed it: then the current one.
int kept(TRegistry& reg, const String& name, bool current, int value)
{
    if (current || !reg.ValueExists(name))
        return value;
    try {
        return reg.ReadInteger(name);
    } catch (const Exception&) {
        return value;
    }
}

} // namespace

// The folder is carried as UTF-16 text from the registry to the file functions: a home folder
// may hold any character.
String Tfrm_main::getpfad()
{
    auto reg = std::make_unique<TRegistry>();
    String folder;
    try {
        reg->RootKey = HKEY_CURRENT_USER;
        const bool opened = reg->OpenKey(QString::fromLatin1(kShellFolders), true);
        const String value = opened ? reg->ReadString(QStringLiteral("Local AppData")) : String();
        folder = pfad(value);
    } catch (const Exception& e) {
        reg->CloseKey();
        throw Exception(
            AddSentence(e.Message, QStringLiteral(". Pfad konnte nicht ermittelt werden.")));
    } catch (...) {
        reg->CloseKey();
        throw;
    }
    reg->CloseKey();
    return folder;
}

String Tfrm_main::pfad(String path)
{
    String doubled;
    doubled.reserve(path.size());
    for (QChar c : path) {
        if (c == u'\\')
            doubled += QLatin1String("\\\\");
        else
            doubled += c;
    }
    return doubled;
}

void Tfrm_main::restore_state()
{
    auto reg = std::make_unique<TRegistry>();
    reg->RootKey = HKEY_CURRENT_USER;
    const String key = QString::fromLatin1(kStateKey);
    if (reg->KeyExists(key)) {
        reg->OpenKey(key, false);
        // What was read stays applied when a later read fails.
        Outer outer;
        try {
            outer.top = reg->ReadInteger(QStringLiteral("top"));
            taken_[0] = true;
            outer.left = reg->ReadInteger(QStringLiteral("left"));
            taken_[1] = true;
            outer.width = reg->ReadInteger(QStringLiteral("width"));
            taken_[2] = true;
            outer.height = reg->ReadInteger(QStringLiteral("height"));
            taken_[3] = true;
        } catch (...) {
            if (outer.top)
                place(outer);
            throw;
        }
        place(outer);
        // A state written without it, or with a value of another type, is that of a normal
        // window.
        const String maximized = QLatin1String(kMaximized);
        start_maximized_ = kept(*reg, maximized, false, 0) != 0;
        taken_[10] = true;
        if (start_maximized_)
            maximize_once_framed();
        for (int i = 0; i < 6; ++i) {
            column_width[i] = reg->ReadInteger(columnName(i));
            taken_[4 + i] = true;
        }
    } else {
        reg->CreateKey(key);
        for (int i = 0; i < 6; ++i) {
            column_width[i] = kDefaultWidths[i];
            taken_[4 + i] = true;
        }
    }
}

void Tfrm_main::store_state()
{
    auto reg = std::make_unique<TRegistry>();
    reg->RootKey = HKEY_CURRENT_USER;
    const String key = QString::fromLatin1(kStateKey);
    if (!reg->KeyExists(key))
        return;
    reg->OpenKey(key, false);
    // A value this run neither took nor saw the user change is written back as it was
    // stored: a start that could not restore the state does not overwrite it with the
    // layout's.
    frame_arrived(); // a frame that came without an event stands where it was put
    // A maximised or minimised window is stored with the frame it returns to.
    const bool normal =
        !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    const bool maximized = windowState() & Qt::WindowMaximized;
    const QRect outer = normal || !normal_.isValid() ? frameGeometry() : normal_;
    // A window that was never shown has not been moved by anyone.
    const bool moved = placed_.isValid() && outer.topLeft() != placed_.topLeft();
    const bool sized = placed_.isValid() && outer.size() != placed_.size();
    const int top = kept(*reg, QStringLiteral("top"), taken_[0] || moved, outer.top());
    const int left = kept(*reg, QStringLiteral("left"), taken_[1] || moved, outer.left());
    const int width = kept(*reg, QStringLiteral("width"), taken_[2] || sized, outer.width());
    const int height = kept(*reg, QStringLiteral("height"), taken_[3] || sized, outer.height());
    const int max = kept(*reg, QLatin1String(kMaximized),
                         taken_[10] || maximized != start_maximized_, maximized ? 1 : 0);
    int widths[6];
    for (int i = 0; i < 6; ++i) {
        column_width[i] = hec_main->Sections(i)->Width();
        widths[i] = kept(*reg, columnName(i), taken_[4 + i] || resized_[i], column_width[i]);
    }
    reg->WriteInteger(QStringLiteral("top"), top);
    reg->WriteInteger(QStringLiteral("left"), left);
    reg->WriteInteger(QStringLiteral("width"), width);
    reg->WriteInteger(QStringLiteral("height"), height);
    reg->WriteInteger(QLatin1String(kMaximized), max);
    for (int i = 0; i < 6; ++i)
        reg->WriteInteger(columnName(i), widths[i]);
}

void Tfrm_main::place(const Outer& outer)
{
    const QRect now = frameGeometry();
    qint64 top = outer.top.value_or(now.top());
    qint64 left = outer.left.value_or(now.left());
    qint64 width = outer.width.value_or(now.width());
    qint64 height = outer.height.value_or(now.height());

    // The screen that holds the middle of the stored frame, else the one the window is on.
    auto toInt = [](qint64 v) {
        return static_cast<int>(
            bound(std::numeric_limits<int>::min(), v, std::numeric_limits<int>::max()));
    };
    QScreen* screen =
        QGuiApplication::screenAt(QPoint(toInt(left + width / 2), toInt(top + height / 2)));
    if (!screen)
        screen = QGuiApplication::screenAt(QPoint(toInt(left), toInt(top)));
    if (!screen)
        screen = this->screen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        width = bound(qMin(kMinimumOuter.width(), area.width()), width, area.width());
        height = bound(qMin(kMinimumOuter.height(), area.height()), height, area.height());
        left = bound(area.left(), left, area.left() + area.width() - width);
        top = bound(area.top(), top, area.top() + area.height() - height);
    }
    apply_outer(QRect(toInt(left), toInt(top), toInt(width), toInt(height)));
}

bool Tfrm_main::frame_known() const
{
    const QWindow* window = windowHandle();
    return window && !window->frameMargins().isNull();
}

// Before the window manager has framed the window its frame is not known: Qt then takes a
// position as the inner one. The frame is put in place again once it is known (see event()).
void Tfrm_main::apply_outer(const QRect& outer)
{
    placed_ = outer;
    if (frame_known()) {
        move(outer.topLeft());
        resize(outer.size() - (frameGeometry().size() - size()));
        return;
    }
    pending_outer_ = outer;
    move(outer.topLeft());
    resize(outer.size());
}

void Tfrm_main::maximize_once_framed()
{
    maximize_pending_ = true;
    if (framed_)
        frame_arrived();
}
