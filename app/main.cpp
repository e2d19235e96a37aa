// murinex: the desktop program. Shows the world and the mice of the run in
// the working folder, with charts, editors, the genome view and the colours.

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <exception>
#include <iostream>

#include "app/program.h"
#include "app/run_folder_chooser.h"

namespace {

int RunProgram(QApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Simulates a population of artificial mice.");
  parser.addHelpOption();
  const QCommandLineOption dir(
      "dir", "The working folder with data/inimaus.ini (default: the current folder).", "DIR", ".");
  const QCommandLineOption task("task", "The task name, answering the \"TaskName\" prompt.",
                                "NAME");
  const QCommandLineOption resume(
      "resume", "Continue the run from its checkpoint data/checkpoint-TASK.mxc, if there is one.");
  parser.addOption(dir);
  parser.addOption(task);
  parser.addOption(resume);
  parser.process(app);

  // Without a run the program asks for one; cancelling ends it.
  const auto workDir = murinex::ChooseRunFolder(parser.value(dir).toStdString());
  if (!workDir) return 0;
  murinex::StartOptions options;
  if (parser.isSet(task)) options.taskName = parser.value(task).toStdString();
  options.resume = parser.isSet(resume);

  murinex::Program program(*workDir, options);
  QObject::connect(&program.Main(), &murinex::TFEmo::Closed, &app, &QApplication::quit);
  program.Main().show();
  return QApplication::exec();
}

// The last resort: whatever escapes the windows' own handlers (memory, the
// file system) is shown in a message box, never an abort.
int ShowFatal(const std::exception& error) {
  std::cerr << "murinex: " << error.what() << "\n";
  QMessageBox::critical(nullptr, "Murinex", QString::fromStdString(error.what()));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Murinex");
  try {
    return RunProgram(app);
  } catch (const std::exception& error) {
    return ShowFatal(error);
  }
}
