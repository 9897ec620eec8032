// The database command: the logon dialog, the logon file and the new connection.
#include "ui/main_frm.h"

#include "platform/rtl/fileutil.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/statusbar.h"
#include "store/db_access.h"
#include "ui/db_frm.h"
#include "ui/logon_file.h"

#include <QFile>
#include <QLineEdit>

#include <memory>

namespace {

// The logon file holds the password in clear text: only its owner may read it. The file is
// made private before it is written, so its content is never readable by others, not even
// for a moment.
void save_private(const TStringList& lines, const String& path)
{
    const QString file = NativePath(path);
    const QFileDevice::Permissions owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const bool created = !QFile::exists(file);
    if (created)
        MakePrivate(path);
    else
        QFile::setPermissions(file, owner);
    try {
        lines.SaveToFile(path);
    } catch (const Exception&) {
        if (created)
            QFile::remove(file);
        throw;
    }
    QFile::setPermissions(file, owner);
}

} // namespace

void Tfrm_main::act_bankExecute(QObject*)
{
    auto dialog = std::make_unique<Tfrm_db>(this);
    auto logon = std::make_unique<TStringList>();
    const String path = getpfad() + QStringLiteral("\\multimedia.dbs");
    const bool existed = FileExists(path);
    if (existed) {
        // A file that cannot be read is shown, and the dialog opens all the same with what
        // could be read, so that the user can mend it here.
        try {
            load_logon(*logon, path);
            dialog->edt_user->setText((*logon)[0]);
            dialog->edt_pwd->setText((*logon)[1]);
            dialog->edt_server->setText((*logon)[2]);
            dialog->edt_schema->setText((*logon)[3]);
        } catch (const Exception& e) {
            Application->HandleException(this, e);
        }
    } else {
        MessageDlg(QStringLiteral("Datenbankdatei wird nicht gefunden!"), mtError, {mbOK}, 0);
    }
    if (dialog->ShowModal() != mrOk)
        return;
    logon->Clear();
    logon->Add(dialog->edt_user->text());
    logon->Add(dialog->edt_pwd->text());
    logon->Add(dialog->edt_server->text());
    logon->Add(dialog->edt_schema->text());
    save_private(*logon, path);
    if (existed)
        db_access->db_stop();
    db_access->db_open((*logon)[0], (*logon)[1], (*logon)[2], (*logon)[3]);
    stab_kollektar->Panels(1)->SetText((*logon)[3]);
    // The list query that the show handler opened still holds the previous database's
    // result, which the fill would show; closed, it is run again on the new one.
    db_access->stop_medilist();
    paint_grid();
}
