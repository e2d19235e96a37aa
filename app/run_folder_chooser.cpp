#include "app/run_folder_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace murinex {

namespace {

QString Shown(const std::filesystem::path& folder) {
  return QDir::toNativeSeparators(QString::fromStdString(folder.string()));
}

QString WhatIsMissing(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error))
    return "The run folder \"" + Shown(folder) + "\" does not exist.";
  return "The folder \"" + Shown(folder) +
         "\" holds no run: its start-up file data/inimaus.ini is missing.";
}

// Where the chooser opens: the folder itself, or the nearest folder above it that exists.
QString StartOfSearch(std::filesystem::path folder) {
  std::error_code error;
  while (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
    if (folder == folder.parent_path()) break;
    folder = folder.parent_path();
  }
  return std::filesystem::is_directory(folder, error) ? QString::fromStdString(folder.string())
                                                      : QDir::homePath();
}

// "/runs/a/./" and "/runs/a/" both as "/runs/a".
std::filesystem::path Tidy(const std::filesystem::path& folder) {
  std::filesystem::path tidy = std::filesystem::absolute(folder).lexically_normal();
  if (!tidy.has_filename() && tidy.has_relative_path()) tidy = tidy.parent_path();
  return tidy;
}

}  // namespace

bool IsRunFolder(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::is_regular_file(folder / "data" / "inimaus.ini", error);
}

std::optional<std::filesystem::path> ChooseRunFolder(const std::filesystem::path& folder,
                                                     QWidget* parent) {
  std::filesystem::path candidate = Tidy(folder);
  while (!IsRunFolder(candidate)) {
    QMessageBox::warning(parent, "Murinex",
                         WhatIsMissing(candidate) +
                             "\n\nPlease choose a run folder: one with data/inimaus.ini, such as "
                             "a copy of default-run.");
    QFileDialog chooser(parent, "Run-Ordner öffnen…", StartOfSearch(candidate));
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
      return std::nullopt;
    candidate = Tidy(chooser.selectedFiles().first().toStdString());
  }
  return candidate;
}

}  // namespace murinex
