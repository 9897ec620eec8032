#pragma once

#include "platform/report/prepared_report.h"

#include <QFont>
#include <QImage>

class QPainter;

// Draws built pages with QPainter in mm, the same on a printer, a PDF writer and an image.
class ReportRenderer {
public:
    // Draws the page on an active painter whose origin is the sheet's top left corner; the
    // scale comes from the resolution of the painter's device.
    static void DrawPage(QPainter& painter, const PreparedPage& page);
    // The page on white at the given resolution in dots per inch.
    static QImage PageImage(const PreparedPage& page, double dpi);
    // The font a report font stands for. "Arial" resolves to a metric twin (Liberation Sans)
    // where Arial is not installed.
    static QFont Font(const ReportFont& font);

private:
    static void drawText(QPainter& painter, const PreparedItem& item);
    static void drawLine(QPainter& painter, const PreparedItem& item);
    static void drawBarCode(QPainter& painter, const PreparedItem& item);
};
