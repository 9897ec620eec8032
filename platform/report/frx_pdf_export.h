#pragma once

#include "platform/report/prepared_report.h"

class QWidget;
class ReportProgress;

// The PDF export filter. It keeps the file name and the options of its dialogs for the next
// export. Page streams are always compressed (deflate) and fonts embedded as subsets. The
// pages are drawn one at a time straight into the file, which is written beside the chosen
// name and put in its place only once it is whole.
class TfrxPDFExport {
public:
    // Ask for the options (the export dialog) and then for the file (a file-save dialog).
    bool ShowDialog = true;
    // A progress window while the pages are written.
    bool ShowProgress = true;
    // Ask before an existing file is replaced; otherwise it is replaced without a question.
    bool OverwritePrompt = false;
    // The file last written or chosen; the file-save dialog proposes it, in its folder. Without
    // one the dialog opens in the user's documents folder, or the home folder without that.
    String FileName;

    // Document information. An empty title takes the report's name.
    String Title;
    String Author = QStringLiteral("FastReport");
    String Subject = QStringLiteral("FastReport PDF export");
    String Keywords;
    String Creator;
    String Producer;

    // Shows the dialogs (with ShowDialog, or the file-save dialog alone when there is no file
    // name) and writes the pages. Returns false, writing nothing, when a dialog or the progress
    // window is cancelled or there is no page. Raises EReportError when the file cannot be
    // written. Whenever no new file is written whole, an existing file is left as it was.
    bool Export(const PageSource& pages, const String& reportName);

    // Writes the pages to the file without asking, replacing an existing one. Returns false,
    // leaving an existing file as it was, when the progress window was cancelled.
    bool SaveToFile(const PageSource& pages, const String& reportName, const String& fileName,
                    ReportProgress* progress = nullptr) const;

private:
    bool askFileName(QWidget* parent);
};
