// The master-data commands and the info command.
#include "ui/main_frm.h"

#include "store/db_access.h"
#include "ui/info_frm.h"
#include "ui/kategorie_dlg.h"
#include "ui/standort_frm.h"
#include "ui/typ_dlg.h"

#include <memory>

namespace {

// Shows one master-data dialog on its table, then closes the table and connects the shared
// connection anew.
template <class Dialog>
void run_master(Tfrm_main& owner, void (Db_access::*open)(), void (Db_access::*close)())
{
    auto dialog = std::make_unique<Dialog>(&owner);
    Db_access& db = *owner.db_access;
    (db.*open)();
    dialog->exec();
    (db.*close)();
    db.db_stop();
    db.db_start();
}

} // namespace

void Tfrm_main::act_katExecute(QObject*)
{
    run_master<Tdlg_kategorie>(*this, &Db_access::open_kat, &Db_access::clos_kat);
}

void Tfrm_main::act_typneuExecute(QObject*)
{
    run_master<Tdlg_typ>(*this, &Db_access::open_typ, &Db_access::clos_typ);
}

void Tfrm_main::act_standExecute(QObject*)
{
    run_master<Tfrm_standort>(*this, &Db_access::open_ort, &Db_access::clos_ort);
}

void Tfrm_main::act_infoneuExecute(QObject*)
{
    auto box = std::make_unique<Tfrm_info>(this);
    box->exec();
}
