#pragma once

#include "platform/rtl/ansistring.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class TfrxPDFExport;

// The export dialog of the PDF filter: the document information that the file will get, preset
// with the filter's settings (a filter without a title gives the report's name). Accept writes
// them back into the filter.
class PdfExportDialog : public QDialog {
    Q_OBJECT
public:
    PdfExportDialog(TfrxPDFExport& filter, const String& reportName, QWidget* parent = nullptr);

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
