#include "ui/kategorie_dlg.h"

#include "store/medium_db.h"

namespace {

const MasterDlg::Layout kLayout = {"Kategorien",
                                   {409, 675},
                                   "dbn_kategorie",
                                   "dbg_kategorie",
                                   584,
                                   "btn_kategorie",
                                   {120, 632},
                                   {216, 632},
                                   &Tdat_medium::myt_kategorie,
                                   &Tdat_medium::myds_kategorie,
                                   "kategorie_pk"};

} // namespace

Tdlg_kategorie::Tdlg_kategorie(QWidget* owner)
    : MasterDlg(owner, kLayout), dbn_kategorie(navigator()), dbg_kategorie(grid()),
      btn_kategorie(closeButton()), btn_help(helpButton())
{
}
