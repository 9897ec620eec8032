#pragma once

// Checks of written reports: what poppler reads from a PDF file, and the ink and bar code of
// a page drawn into an image.
#include <QImage>
#include <QMap>
#include <QRect>
#include <QString>
#include <QStringList>

namespace testdb {

// The output of a poppler tool, or a text that says why there is none.
QString run(const QString& tool, const QStringList& args);
// pdfinfo's fields by name.
QMap<QString, QString> pdfInfo(const QString& file);
// pdftotext -layout of one page (from 1), and of every page in order.
QString pdfText(const QString& file, int page);
QStringList pdfPages(const QString& file);

// The bounding box of the pixels darker than mid grey, inside the area (all of the image
// when it is null).
QRect inkBounds(const QImage& image, const QRect& area = QRect());
// Reads an EAN-8 symbol along one pixel row: the runs in modules, the guards checked and the
// digits decoded, or a text that says what is wrong.
QString decodeEan8(const QImage& image, int y, double modulePx);
// What zbarimg reads in a picture file, as "EAN-8:<digits>" a symbol and line, "" when it
// finds none, or a text that says why it could not look.
QString scanBarCodes(const QString& file);

} // namespace testdb
