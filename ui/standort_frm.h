#pragma once

#include "ui/master_dlg.h"

// The storage locations: the table `standort` in a grid with its navigator.
class Tfrm_standort : public MasterDlg {
    Q_OBJECT
public:
    explicit Tfrm_standort(QWidget* owner);

    TDBNavigator* dbn_standort;
    TDBGrid* dbg_standort;
    QPushButton* btn_close;
    QPushButton* btn_help;
};
