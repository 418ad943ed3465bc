#pragma once

#include "platform/report/PreparedReport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vorta::report {

// One page as an enhanced metafile: header, the page's texts, lines, rectangles,
// ellipses and images as ordinary GDI records, end-of-file record. One logical unit
// is a hundredth of a millimetre.
QByteArray emfOfPage(const PreparedReport& report, int pageIndex);

// The name of page n (1-based) of an export to fileName: "ProtZIR.emf" gives
// "ProtZIR001.emf".
QString emfPageFileName(const QString& fileName, int page);

// Writes every page as its own file; returns the names written.
QStringList writeEmfPages(const PreparedReport& report, const QString& fileName);

} // namespace vorta::report
