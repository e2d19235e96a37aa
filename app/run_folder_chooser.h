#pragma once

#include <filesystem>
#include <optional>

class QWidget;

namespace murinex {

// Whether `folder` holds a run: its start-up file data/inimaus.ini.
bool IsRunFolder(const std::filesystem::path& folder);

// The run folder to open: `folder` when it holds a run. Otherwise a message
// box says what is missing and the folder chooser "Run-Ordner öffnen…" lets
// the user pick another, until one holds a run. None when the user cancels.
std::optional<std::filesystem::path> ChooseRunFolder(const std::filesystem::path& folder,
                                                     QWidget* parent = nullptr);

}  // namespace murinex
