// The main window's settings: the folder of the logon file and the window state in the
// registry.
#include "ui/main_frm.h"

#include "platform/vcl/header_control.h"
#include "platform/vcl/registry.h"

#include <memory>

namespace {

const char* const kStateKey = "\\Software\\vantoria\\multimedia";
const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const int kDefaultWidths[6] = {30, 250, 150, 250, 50, 70};

String columnName(int i)
{
    return QStringLiteral("column%1").arg(i);
}

} // namespace

AnsiString Tfrm_main::getpfad()
{
    auto reg = std::make_unique<TRegistry>();
    AnsiString folder;
    try {
        reg->RootKey = HKEY_CURRENT_USER;
        const bool opened = reg->OpenKey(QString::fromLatin1(kShellFolders), true);
        const AnsiString value =
            opened ? AnsiString(reg->ReadString(QStringLiteral("Local AppData"))) : AnsiString();
        folder = pfad(value);
    } catch (const Exception& e) {
        reg->CloseKey();
        throw Exception(e.Message + QStringLiteral(". Pfad konnte nicht ermittelt werden."));
    } catch (...) {
        reg->CloseKey();
        throw;
    }
    reg->CloseKey();
    return folder;
}

AnsiString Tfrm_main::pfad(AnsiString path)
{
    std::string doubled;
    for (char c : path.bytes()) {
        if (c == '\\')
            doubled += "\\\\";
        else
            doubled += c;
    }
    return AnsiString(doubled);
}

void Tfrm_main::restore_state()
{
    auto reg = std::make_unique<TRegistry>();
    reg->RootKey = HKEY_CURRENT_USER;
    const String key = QString::fromLatin1(kStateKey);
    if (reg->KeyExists(key)) {
        reg->OpenKey(key, false);
        set_top(reg->ReadInteger(QStringLiteral("top")));
        set_left(reg->ReadInteger(QStringLiteral("left")));
        set_outer_width(reg->ReadInteger(QStringLiteral("width")));
        set_outer_height(reg->ReadInteger(QStringLiteral("height")));
        for (int i = 0; i < 6; ++i)
            column_width[i] = reg->ReadInteger(columnName(i));
    } else {
        reg->CreateKey(key);
        for (int i = 0; i < 6; ++i)
            column_width[i] = kDefaultWidths[i];
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
    const QRect outer = frameGeometry();
    reg->WriteInteger(QStringLiteral("top"), outer.top());
    reg->WriteInteger(QStringLiteral("left"), outer.left());
    reg->WriteInteger(QStringLiteral("width"), outer.width());
    reg->WriteInteger(QStringLiteral("height"), outer.height());
    for (int i = 0; i < 6; ++i)
        column_width[i] = hec_main->Sections(i)->Width();
    for (int i = 0; i < 6; ++i)
        reg->WriteInteger(columnName(i), column_width[i]);
}

void Tfrm_main::set_top(int top)
{
    move(frameGeometry().left(), top);
}

void Tfrm_main::set_left(int left)
{
    move(left, frameGeometry().top());
}

// Before the window is on the screen its frame is not known; the size is then taken as the
// inner one and corrected once the frame is there.
void Tfrm_main::set_outer_width(int width)
{
    const QSize frame = frameGeometry().size() - size();
    if (!isVisible() || frame.isNull())
        pending_outer_ = QSize(width, pending_outer_.isValid() ? pending_outer_.height()
                                                               : frameGeometry().height());
    resize(width - frame.width(), height());
}

void Tfrm_main::set_outer_height(int height)
{
    const QSize frame = frameGeometry().size() - size();
    if (!isVisible() || frame.isNull())
        pending_outer_ = QSize(
            pending_outer_.isValid() ? pending_outer_.width() : frameGeometry().width(), height);
    resize(width(), height - frame.height());
}
