#include "ui/typ_dlg.h"

#include "store/medium_db.h"

namespace {

const MasterDlg::Layout kLayout = {"Medientypen",
                                   {358, 655},
                                   "dbn_typ",
                                   "dbg_typ",
                                   576,
                                   "btn_typ",
                                   {96, 622},
                                   {177, 622},
                                   &Tdat_medium::myt_typ,
                                   &Tdat_medium::myds_typ,
                                   "mediumtyp_pk"};

} // namespace

Tdlg_typ::Tdlg_typ(QWidget* owner)
    : MasterDlg(owner, kLayout), dbn_typ(navigator()), dbg_typ(grid()), btn_typ(closeButton()),
      btn_help(helpButton())
{
}
