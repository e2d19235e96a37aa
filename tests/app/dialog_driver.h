#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

class QWidget;

namespace murinex::test {

// Answers the modal dialogs that open while it lives, one answer per dialog in
// order (dialogs beyond the answers are closed), and records what they said.
class DialogDriver : public QObject {
  Q_OBJECT

 public:
  using Answer = std::function<void(QWidget* dialog)>;
  explicit DialogDriver(std::vector<Answer> answers = {});

  // Caption, then the text (message or prompt), of every dialog seen.
  const QStringList& Seen() const { return seen_; }
  int Count() const { return static_cast<int>(seen_.size() / 2); }
  QString Text(int i) const { return seen_.value(2 * i + 1); }
  QString Caption(int i) const { return seen_.value(2 * i); }
  // The default text of every input dialog, in order.
  const QStringList& Defaults() const { return defaults_; }

  static Answer Type(const QString& text);  // an input dialog's answer, then OK
  static Answer Cancel();
  static Answer Ok();                                 // a message box
  static Answer ChooseFolder(const QString& folder);  // a folder chooser's answer, then open

 private:
  void Poll();

  std::vector<Answer> answers_;
  std::size_t next_ = 0;
  QWidget* last_ = nullptr;
  QStringList seen_;
  QStringList defaults_;
  QTimer timer_;
};

}  // namespace murinex::test
