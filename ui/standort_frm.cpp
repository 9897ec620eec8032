#include "ui/standort_frm.h"

#include "store/medium_db.h"

namespace {

const MasterDlg::Layout kLayout = {"Standorte verwalten",
                                   {296, 702},
                                   "dbn_standort",
                                   "dbg_standort",
                                   608,
                                   "btn_close",
                                   {48, 656},
                                   {160, 656},
                                   &Tdat_medium::myt_standort,
                                   &Tdat_medium::myds_standort,
                                   "standort_pk"};

} // namespace

Tfrm_standort::Tfrm_standort(QWidget* owner)
    : MasterDlg(owner, kLayout), dbn_standort(navigator()), dbg_standort(grid()),
      btn_close(closeButton()), btn_help(helpButton())
{
}
