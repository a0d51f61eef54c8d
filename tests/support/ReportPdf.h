#pragma once
// A PDF document on the report's pages, made in memory, for the report's tests and benchmarks.
#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QPdfWriter>

#include "app/report/ReportPDF.h"

namespace ReportPdf {

// The document that `paint(writer, painter)` paints: the painter is on the writer, whose pages
// are the report's, and has ended when the bytes come back.
template <class Paint> QByteArray painted(Paint paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    Tessarine::ReportPDF::setPages(writer);
    QPainter painter(&writer);
    paint(writer, painter);
    painter.end();
    return bytes;
}

} // namespace ReportPdf
