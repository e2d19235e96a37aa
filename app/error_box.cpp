#include "app/error_box.h"

#include <QMessageBox>

#include "world/error.h"

namespace murinex {

QString ErrorText(const std::exception& error) {
  const auto* input = dynamic_cast<const InputError*>(&error);
  if (!input) return QString::fromStdString(error.what());
  QString text;
  if (!input->file().empty()) text += "File: " + QString::fromStdString(input->file()) + "\n";
  if (input->line() > 0) text += "Line: " + QString::number(input->line()) + "\n";
  if (!text.isEmpty()) text += "\n";
  return text + QString::fromStdString(input->message());
}

QString ErrorSummary(const std::exception& error) {
  return QString::fromStdString(error.what()).simplified();
}

void ShowError(QWidget* parent, const std::exception& error) {
  QMessageBox::warning(parent, "Murinex", ErrorText(error));
}

}  // namespace murinex
