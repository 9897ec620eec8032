#pragma once

#include "platform/vcl/dbgrid.h"

#include <QWidget>

#include <array>
#include <memory>

class QToolButton;

enum TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};

// The record navigator: ten buttons side by side across its width, acting on the data set
// of its data source. Buttons that have nothing to do are disabled; all are while the data
// source is disabled. Errors of the table go to the application's error handler.
class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget* parent = nullptr);
    ~TDBNavigator() override;

    void SetDataSource(TMyDataSource* source);
    TMyDataSource* DataSource() const;

    // Ask "Datensatz löschen?" before the delete button deletes.
    bool ConfirmDelete = true;

    QToolButton* Button(TNavigateBtn button) const;
    // What a click on the button does.
    void BtnClick(TNavigateBtn button);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateButtons();

    std::shared_ptr<TDataLink> link_;
    std::array<QToolButton*, 10> buttons_;
};
