#pragma once

#include <QDialog>

// What a window's close handler may decide: caNone keeps the window open.
enum TCloseAction { caNone, caHide, caFree, caMinimize };

// A dialog without a cancel button: Escape does nothing, its close box gives the modal result
// Cancel. Shown, it stands centred on the application's main window (or on its owner while
// there is none).
class TNoCancelDialog : public QDialog {
public:
    using QDialog::QDialog;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
