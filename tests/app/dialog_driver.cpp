#include "tests/app/dialog_driver.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace murinex::test {

DialogDriver::DialogDriver(std::vector<Answer> answers) : answers_(std::move(answers)) {
  connect(&timer_, &QTimer::timeout, this, &DialogDriver::Poll);
  timer_.start(5);
}

void DialogDriver::Poll() {
  QWidget* dialog = QApplication::activeModalWidget();
  if (!dialog || dialog == last_) return;
  last_ = dialog;
  seen_ << dialog->windowTitle();
  if (auto* box = qobject_cast<QMessageBox*>(dialog))
    seen_ << box->text();
  else if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
    seen_ << input->labelText();
    defaults_ << input->textValue();
  } else
    seen_ << QString();
  Answer answer = next_ < answers_.size() ? answers_[next_++] : Cancel();
  // The dialog may be the one being answered next time too; forget it once closed.
  answer(dialog);
  QTimer::singleShot(0, this, [this] { last_ = nullptr; });
}

DialogDriver::Answer DialogDriver::Type(const QString& text) {
  return [text](QWidget* dialog) {
    auto* input = qobject_cast<QInputDialog*>(dialog);
    if (!input) return;
    input->setTextValue(text);
    input->done(QDialog::Accepted);
  };
}

DialogDriver::Answer DialogDriver::Cancel() {
  return [](QWidget* dialog) {
    if (auto* d = qobject_cast<QDialog*>(dialog))
      d->done(QDialog::Rejected);
    else
      dialog->close();
  };
}

DialogDriver::Answer DialogDriver::Ok() {
  return [](QWidget* dialog) {
    if (auto* d = qobject_cast<QDialog*>(dialog)) d->done(QDialog::Accepted);
  };
}

DialogDriver::Answer DialogDriver::ChooseFolder(const QString& folder) {
  return [folder](QWidget* dialog) {
    auto* chooser = qobject_cast<QFileDialog*>(dialog);
    if (!chooser) return;
    chooser->selectFile(folder);
    QMetaObject::invokeMethod(chooser, "accept");
  };
}

}  // namespace murinex::test
