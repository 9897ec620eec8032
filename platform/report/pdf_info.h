#pragma once

#include "platform/rtl/ansistring.h"

#include <QByteArray>
#include <QDateTime>

// The document information of a PDF file. Empty entries are left out.
struct PdfInfo {
    String Title;
    String Author;
    String Subject;
    String Keywords;
    String Creator;
    String Producer;
    QDateTime Created;
};

// The incremental update to append to a complete PDF of size bytes, of which tail holds the
// last ones, down to its last trailer at least: a new information dictionary, a cross reference
// section and a trailer pointing back to the previous one, so that readers take the document
// information from it. Raises EReportError when the PDF has no classic trailer.
QByteArray PdfInfoUpdate(const QByteArray& tail, qint64 size, const PdfInfo& info);
