#pragma once

#include "platform/vcl/forms.h"
#include "platform/vcl/labelededit.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The logon dialog: user, password, schema and server, a test against the server that
// offers to create a missing schema, and the server's facts. It reports its outcome by its
// modal result; the caller reads the fields and does the saving and connecting.
class Tfrm_db : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_db(QWidget* Owner);

    TLabeledEdit* edt_user;
    TLabeledEdit* edt_pwd;
    TLabeledEdit* edt_schema;
    TLabeledEdit* edt_server;
    QPlainTextEdit* mem_db;
    QPushButton* btn_test;
    QPushButton* btn_ok;
    QPushButton* btn_abbrechen;
    QPushButton* btn_hilfe;

    void btn_testClick(QObject* Sender);
    void FormClose(QObject* Sender, TCloseAction& Action);

    // Shows the dialog and returns the modal result it closed with.
    int ShowModal();
    int ModalResult() const { return modal_result_; }
    // A result other than mrNone closes the dialog, unless its close handler keeps it open.
    void SetModalResult(int result);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TLabeledEdit* labelled(const char* name, const char* label, int top);
    QPushButton* button(const char* name, const QString& caption, const char* hint, int left,
                        int top);
    void close_by_result();

    int modal_result_ = 0;
};
