#include "views/chart_export.h"

#include <QSaveFile>
#include <charconv>
#include <vector>

#include "agent/names.h"
#include "model/lines.h"
#include "model/summary_lines.h"

namespace murinex {

namespace {

QString Number(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return QString::fromLatin1(text, static_cast<int>(result.ptr - text));
}

// A header cell: quoted when it holds the separator or a quote.
QString Cell(const std::string& name) {
  QString text = QString::fromStdString(name);
  if (!text.contains(',') && !text.contains('"')) return text;
  return '"' + text.replace("\"", "\"\"") + '"';
}

template <std::size_t N>
QString NameOf(const char* const (&names)[N], std::uint8_t index) {
  return index < N ? QString(names[index]) : QString::number(index);
}

}  // namespace

QString MouseChartCsv(const TLines& lines) {
  std::vector<const TLineSeries*> columns;
  QString csv = "tick";
  for (std::size_t g = 0; g < lines.GroupCount(); ++g) {
    const TLineGroup& group = lines.Group(g);
    for (std::size_t i = 0; i < group.Lines.size(); ++i) {
      columns.push_back(group.Lines[i].get());
      csv += ',' + Cell(group.Names[i]);
    }
  }
  csv += ",need,goal,action\n";
  const auto& samples = lines.Samples();
  for (std::size_t row = 0; row < samples.size(); ++row) {
    const TLineSample& s = samples[row];
    csv += QString::number(s.Tick);
    for (const TLineSeries* column : columns)
      csv += ',' + (row < column->Count() ? Number(column->Values[row]) : QString());
    csv += ',' + NameOf(NeedNames, s.Need) + ',' + NameOf(GoalNames, s.Goal) + ',' +
           NameOf(ActionNames, s.Action) + '\n';
  }
  return csv;
}

QString SumChartCsv(const TSumLines& lines) {
  QString csv = "tick";
  for (std::size_t i = 0; i < lines.Size(); ++i)
    csv += ',' + Cell(lines.At(i).Name);
  csv += '\n';
  const auto& ticks = lines.Ticks();
  for (std::size_t row = 0; row < ticks.size(); ++row) {
    csv += QString::number(ticks[row]);
    for (std::size_t i = 0; i < lines.Size(); ++i) {
      // A line created during the page started later: its points are the last ones.
      const TLineSeries& s = lines.At(i).Series;
      const std::size_t missing = ticks.size() - std::min(ticks.size(), s.Count());
      csv += ',' + (row >= missing ? Number(s.Values[row - missing]) : QString());
    }
    csv += '\n';
  }
  return csv;
}

bool SaveTextFile(const QString& path, const QString& text, QString& error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    error = file.errorString();
    return false;
  }
  file.write(text.toUtf8());
  if (!file.commit()) {
    error = file.errorString();
    return false;
  }
  return true;
}

bool SavePng(const QString& path, const QImage& image, QString& error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = file.errorString();
    return false;
  }
  if (!image.save(&file, "PNG")) {
    file.cancelWriting();
    error = "the picture could not be encoded as PNG";
    return false;
  }
  if (!file.commit()) {
    error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace murinex
