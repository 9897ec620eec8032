#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class TfrxPDFExport;

// The export dialog of the PDF filter: its document information, preset with the filter's
// settings. Accept writes them back into the filter.
class PdfExportDialog : public QDialog {
    Q_OBJECT
public:
    PdfExportDialog(TfrxPDFExport& filter, QWidget* parent = nullptr);

    void accept() override;

private:
    TfrxPDFExport& filter_;
    QLineEdit* title_;
    QLineEdit* author_;
    QLineEdit* subject_;
    QLineEdit* keywords_;
    QLineEdit* creator_;
    QLineEdit* producer_;
    QCheckBox* overwrite_;
};
