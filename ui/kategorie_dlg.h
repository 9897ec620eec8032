#pragma once

#include "ui/master_dlg.h"

// The categories: the table `kategorie` in a grid with its navigator.
class Tdlg_kategorie : public MasterDlg {
    Q_OBJECT
public:
    explicit Tdlg_kategorie(QWidget* owner);

    TDBNavigator* dbn_kategorie;
    TDBGrid* dbg_kategorie;
    QPushButton* btn_kategorie;
    QPushButton* btn_help;
};
