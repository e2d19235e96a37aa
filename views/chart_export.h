#pragma once

#include <QImage>
#include <QString>

namespace murinex {

class TLines;
class TSumLines;

// The data of a chart window as CSV: the simulation tick of each sample in the
// first column, then one column per line (and band), one row per sample of
// the current page. Numbers with the point and as many digits as it takes to
// read them back exactly.
QString MouseChartCsv(const TLines& lines);
QString SumChartCsv(const TSumLines& lines);

// Writes a whole file or nothing: the text goes to a temporary file that
// replaces `path` only when complete. On failure, `error` says why.
bool SaveTextFile(const QString& path, const QString& text, QString& error);
bool SavePng(const QString& path, const QImage& image, QString& error);

}  // namespace murinex
