#pragma once

#include "platform/vcl/forms.h"

#include "platform/data/mydatasource.h"
#include "platform/data/mytable.h"

#include <QDialog>
#include <QPoint>
#include <QSize>

class QPushButton;
class TDBGrid;
class TDBNavigator;
class Tdat_medium;

// A master-data dialog: a navigator and a grid on one master table of the data module, a
// close and a help button. The three dialogs differ only in their Layout. The creation
// handler opens the table and hides its key column; the close handler closes the table.
// Shown modally with exec(), which returns the modal result.
class MasterDlg : public TNoCancelDialog {
    Q_OBJECT
public:
    struct Layout {
        const char* caption;
        QSize client;
        const char* navigator;
        const char* grid;
        int gridHeight;
        const char* closeButton;
        QPoint closeAt;
        QPoint helpAt;
        TMyTable* Tdat_medium::*table;
        TMyDataSource* Tdat_medium::*source;
        const char* keyField;
    };

    // Opens the dialog's table on the data module and hides the key column.
    void FormCreate(QObject* sender);
    // Closes the dialog's table; a row still being edited or inserted is dropped.
    void FormClose(QObject* sender, TCloseAction& action);

    // Every way of closing ends here: the close handler runs first.
    void done(int result) override;

protected:
    MasterDlg(QWidget* owner, const Layout& layout);

    TDBNavigator* navigator() const { return navigator_; }
    TDBGrid* grid() const { return grid_; }
    QPushButton* closeButton() const { return close_; }
    QPushButton* helpButton() const { return help_; }

    void resizeEvent(QResizeEvent* event) override;

private:
    const Layout& layout_;
    TDBNavigator* navigator_;
    TDBGrid* grid_;
    QPushButton* close_;
    QPushButton* help_;
};
