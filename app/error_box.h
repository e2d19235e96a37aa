#pragma once

#include <QString>
#include <exception>

class QWidget;

namespace murinex {

// The text that tells the user what went wrong and where (file and line).
QString ErrorText(const std::exception& error);
// The same in one line, for the status bar.
QString ErrorSummary(const std::exception& error);
// Shows the error in a message box over parent.
void ShowError(QWidget* parent, const std::exception& error);

}  // namespace murinex
