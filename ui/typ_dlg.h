#pragma once

#include "ui/master_dlg.h"

// The media types: the table `mediumtyp` in a grid with its navigator.
class Tdlg_typ : public MasterDlg {
    Q_OBJECT
public:
    explicit Tdlg_typ(QWidget* owner);

    TDBNavigator* dbn_typ;
    TDBGrid* dbg_typ;
    QPushButton* btn_typ;
    QPushButton* btn_help;
};
