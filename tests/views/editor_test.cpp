#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "tests/common/test_run.h"
#include "views/clock_set.h"
#include "views/tf_edit.h"
#include "views/tf_edit_motiv.h"

namespace murinex {

namespace {

void SelectRows(QListWidget* list, std::initializer_list<int> rows) {
  list->clearSelection();
  for (int row : rows)
    list->item(row)->setSelected(true);
}

QStringList SelectedRows(const QListWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) rows << list->item(i)->text();
  return rows;
}

QStringList Texts(const QWidget& window) {
  QStringList texts;
  for (const QLabel* label : window.findChildren<QLabel*>())
    texts << label->text();
  for (const QPushButton* button : window.findChildren<QPushButton*>())
    texts << button->text();
  return texts;
}

}  // namespace

class EditorTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void captionsLabelsAndButtons();
  void listsAreRefilledOnEveryOpening();
  void theHandedOverMouseIsPreselected();
  void oldValueIsTheMeanOverTheSelectedMice();
  void motiveOldValueIsAPerMouseSum();
  void newValueIsValidOnlyAsANumber_data();
  void newValueIsValidOnlyAsANumber();
  void aValueAPopulationFileWouldRefuseIsRefusedWithItsReason_data();
  void aValueAPopulationFileWouldRefuseIsRefusedWithItsReason();
  void applyingAssignsToTheSelectedMiceOnly();
  void applyingMotivesAssignsEverySelectedMotive();
  void enterInTheNewValueApplies();
  void ctrlAAndCtrlUSelectAndClearAList();
  void nothingIsValidWithoutMice();
  void clocksStopWhileShownAndAllRunAfterwards();
  void execIsModalAndCloses();

 private:
  TMaus& Mouse(std::size_t i) { return *t_->run.Mice[i]; }

  std::unique_ptr<test::TestRun> t_;
  std::unique_ptr<ClockSet> clocks_;
  std::unique_ptr<TFEdit> edit_;
  std::unique_ptr<TFEditMotiv> motiv_;
};

void EditorTest::init() {
  t_ = std::make_unique<test::TestRun>();
  clocks_ = std::make_unique<ClockSet>();
  clocks_->SetReady(true);
  t_->AddMaus({10, 10}).Params[param::Strength] = 0.4;
  t_->AddMaus({20, 20}).Params[param::Strength] = 0.6;
  Mouse(1).Lineage = "Brown";
  edit_ = std::make_unique<TFEdit>(t_->run, *clocks_);
  motiv_ = std::make_unique<TFEditMotiv>(t_->run, *clocks_);
}

void EditorTest::cleanup() {
  edit_.reset();
  motiv_.reset();
  clocks_.reset();
  t_.reset();
}

void EditorTest::captionsLabelsAndButtons() {
  QCOMPARE(edit_->windowTitle(), QString("Personenparameter editieren"));
  QCOMPARE(motiv_->windowTitle(), QString("Motivwerte editieren"));
  for (const QWidget* editor :
       {static_cast<QWidget*>(edit_.get()), static_cast<QWidget*>(motiv_.get())}) {
    const QStringList texts = Texts(*editor);
    for (const char* text : {"Alter Wert:", "Neuer Wert:", "Alle auswählen", "Auswahl aufheben",
                             "Wert übernehmen", "Fenster schliessen"})
      QVERIFY2(texts.contains(text), text);
  }
  QVERIFY(!edit_->OldValue()->isEnabled());
  QCOMPARE(edit_->MotivList(), nullptr);
}

void EditorTest::listsAreRefilledOnEveryOpening() {
  edit_->show();
  QCOMPARE(edit_->MouseList()->count(), 2);
  QCOMPARE(edit_->MouseList()->item(1)->text(), QString("%1: Brown").arg(Mouse(1).ID));
  QCOMPARE(SelectedRows(edit_->MouseList()).size(), 1);
  QCOMPARE(edit_->VarList()->count(), 15);
  QCOMPARE(edit_->VarList()->item(0)->text(), QString("BasAr"));
  QCOMPARE(edit_->VarList()->item(14)->text(), QString("Carefactor"));
  QVERIFY(edit_->NewValue()->text().isEmpty());
  edit_->hide();
  t_->AddMaus({30, 30});
  edit_->show();
  QCOMPARE(edit_->MouseList()->count(), 3);

  motiv_->show();
  QCOMPARE(motiv_->MotivList()->count(), 8);
  QCOMPARE(motiv_->MotivList()->item(0)->text(), QString("NoNeed"));
  QCOMPARE(motiv_->MotivList()->item(7)->text(), QString("Comp"));
  QCOMPARE(SelectedRows(motiv_->MotivList()), QStringList{"NoNeed"});
  QCOMPARE(motiv_->VarList()->item(0)->text(), QString("BasMeta"));
  QCOMPARE(motiv_->VarList()->item(1)->text(), QString("Weight"));
}

void EditorTest::theHandedOverMouseIsPreselected() {
  edit_->SetMaus(&Mouse(1));
  edit_->show();
  QCOMPARE(SelectedRows(edit_->MouseList()), QStringList{QString("%1: Brown").arg(Mouse(1).ID)});
}

void EditorTest::oldValueIsTheMeanOverTheSelectedMice() {
  edit_->show();
  edit_->VarList()->setCurrentRow(param::Strength);
  edit_->SelectAllMice();
  QCOMPARE(edit_->OldValue()->text(), QString("0.5"));
  SelectRows(edit_->MouseList(), {1});
  QCOMPARE(edit_->OldValue()->text(), QString("0.6"));
}

void EditorTest::motiveOldValueIsAPerMouseSum() {
  Mouse(0).M(need::Hunger).Weight = 1;
  Mouse(0).M(need::Thirst).Weight = 2;
  Mouse(1).M(need::Hunger).Weight = 3;
  Mouse(1).M(need::Thirst).Weight = 4;
  motiv_->show();
  motiv_->VarList()->setCurrentRow(1);  // Weight
  SelectRows(motiv_->MouseList(), {0});
  SelectRows(motiv_->MotivList(), {need::Hunger, need::Thirst});
  QCOMPARE(motiv_->OldValue()->text(), QString("3"));
  motiv_->SelectAllMice();
  QCOMPARE(motiv_->OldValue()->text(), QString("5"));  // (3 + 7) / 2
}

void EditorTest::newValueIsValidOnlyAsANumber_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("valid");
  QTest::newRow("decimal comma") << "1,5" << true;
  QTest::newRow("comma and point") << "1,5.2" << false;
  QTest::newRow("two commas") << "1,5,2" << false;
  QTest::newRow("point") << "1.5" << true;
  QTest::newRow("negative whole") << "-2" << true;
  QTest::newRow("empty") << "" << false;
  QTest::newRow("word") << "abc" << false;
}

void EditorTest::newValueIsValidOnlyAsANumber() {
  QFETCH(QString, text);
  QFETCH(bool, valid);
  edit_->show();
  edit_->NewValue()->setText(text);
  QCOMPARE(edit_->ValidNewValue(), valid);
  QCOMPARE(edit_->ApplyButton()->isEnabled(), valid);
}

void EditorTest::aValueAPopulationFileWouldRefuseIsRefusedWithItsReason_data() {
  QTest::addColumn<bool>("motive");
  QTest::addColumn<int>("variable");
  QTest::addColumn<QString>("text");
  // The value afterwards; before, the test mouse has Strength 0.4, SightWidth 100,
  // ProtMem 0.05 and every motive's Weight 1.
  QTest::addColumn<double>("stored");
  QTest::addColumn<QString>("reason");
  // The ranges a population file's reader applies: SightWidth 0..1e6, ProtMem 0..1,
  // Strength -100..100, a motive's Weight 0..1000.
  QTest::newRow("SightWidth -50") << false << int(param::SightWidth) << "-50" << 100.0
                                  << "SightWidth must lie between 0 and 1000000";
  QTest::newRow("ProtMem 1.5") << false << int(param::ProtMem) << "1.5" << 0.05
                               << "ProtMem must lie between 0 and 1";
  QTest::newRow("Strength 7") << false << int(param::Strength) << "7" << 7.0 << "";
  QTest::newRow("Strength 101") << false << int(param::Strength) << "101" << 0.4
                                << "Strength must lie between -100 and 100";
  QTest::newRow("decimal comma") << false << int(param::Strength) << "0,5" << 0.5 << "read as 0.5";
  QTest::newRow("comma and point")
      << false << int(param::Strength) << "0,5.1" << 0.4 << "is not a number";
  QTest::newRow("Weight -2") << true << 1 << "-2" << 1.0 << "Weight must lie between 0 and 1000";
}

void EditorTest::aValueAPopulationFileWouldRefuseIsRefusedWithItsReason() {
  QFETCH(bool, motive);
  QFETCH(int, variable);
  QFETCH(QString, text);
  QFETCH(double, stored);
  QFETCH(QString, reason);
  EditorBase& editor = motive ? static_cast<EditorBase&>(*motiv_) : *edit_;
  editor.show();
  editor.VarList()->setCurrentRow(variable);
  SelectRows(editor.MouseList(), {0});
  QTest::keyClicks(editor.NewValue(), text);
  const bool accepted = reason.isEmpty() || reason.startsWith("read as");
  QCOMPARE(editor.ApplyButton()->isEnabled(), accepted);
  // The reason is shown in the editor before anything is applied.
  QStringList shown;
  for (const QString& t : Texts(editor))
    if (!reason.isEmpty() && t.contains(reason)) shown << t;
  QCOMPARE(shown.size(), reason.isEmpty() ? 0 : 1);
  QTest::keyClick(editor.NewValue(), Qt::Key_Return);
  const double now = motive ? Mouse(0).M(0).Weight  // the first motive is preselected
                            : Mouse(0).Params[static_cast<std::size_t>(variable)];
  QCOMPARE(now, stored);
  // A refused value stays in the field to be corrected.
  QCOMPARE(editor.NewValue()->text().isEmpty(), accepted);
}

void EditorTest::applyingAssignsToTheSelectedMiceOnly() {
  edit_->show();
  edit_->VarList()->setCurrentRow(param::Strength);
  SelectRows(edit_->MouseList(), {0});
  edit_->NewValue()->setText("0.9");
  QTest::mouseClick(edit_->ApplyButton(), Qt::LeftButton);
  QCOMPARE(Mouse(0).Params[param::Strength], 0.9);
  QCOMPARE(Mouse(1).Params[param::Strength], 0.6);
  QVERIFY(edit_->NewValue()->text().isEmpty());
  QCOMPARE(edit_->OldValue()->text(), QString("0.9"));
  QVERIFY(!edit_->ApplyButton()->isEnabled());
}

void EditorTest::applyingMotivesAssignsEverySelectedMotive() {
  Mouse(0).SumWeights = 8;
  motiv_->show();
  motiv_->SelectAllMice();
  SelectRows(motiv_->MotivList(), {need::Sex, need::Comp});
  motiv_->VarList()->setCurrentRow(1);
  motiv_->NewValue()->setText("2");
  motiv_->Apply();
  for (std::size_t i = 0; i < 2; ++i) {
    QCOMPARE(Mouse(i).M(need::Sex).Weight, 2.0);
    QCOMPARE(Mouse(i).M(need::Comp).Weight, 2.0);
    QCOMPARE(Mouse(i).M(need::Affil).Weight, 1.0);
    QCOMPARE(Mouse(i).M(need::Sex).BasMeta, 0.0);
  }
  QCOMPARE(Mouse(0).SumWeights, 8.0);  // not recomputed
  QCOMPARE(motiv_->OldValue()->text(), QString("4"));
}

void EditorTest::enterInTheNewValueApplies() {
  edit_->show();
  edit_->VarList()->setCurrentRow(param::BasAr);
  edit_->SelectAllMice();
  QTest::keyClicks(edit_->NewValue(), "0.25");
  QTest::keyClick(edit_->NewValue(), Qt::Key_Return);
  QCOMPARE(Mouse(0).Params[param::BasAr], 0.25);
  QCOMPARE(Mouse(1).Params[param::BasAr], 0.25);
  QVERIFY(edit_->isVisible());  // Enter is swallowed, the editor stays open
  QVERIFY(edit_->NewValue()->text().isEmpty());
}

void EditorTest::ctrlAAndCtrlUSelectAndClearAList() {
  motiv_->show();
  motiv_->VarList()->setCurrentRow(1);
  QTest::keyClick(motiv_->MouseList(), Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(SelectedRows(motiv_->MouseList()).size(), 2);
  QTest::keyClick(motiv_->MotivList(), Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(SelectedRows(motiv_->MotivList()).size(), 8);
  QCOMPARE(motiv_->OldValue()->text(), QString("8"));  // eight weights of 1
  QTest::keyClick(motiv_->MotivList(), Qt::Key_U, Qt::ControlModifier);
  QVERIFY(SelectedRows(motiv_->MotivList()).isEmpty());
  QVERIFY(motiv_->OldValue()->text().isEmpty());
  QVERIFY(!motiv_->ValidState());
}

void EditorTest::nothingIsValidWithoutMice() {
  t_->run.Mice.clear();
  edit_->show();
  QCOMPARE(edit_->MouseList()->count(), 0);
  edit_->NewValue()->setText("1");
  QVERIFY(!edit_->ValidState());
  QVERIFY(!edit_->ApplyButton()->isEnabled());
  edit_->Apply();
  QVERIFY(edit_->OldValue()->text().isEmpty());
}

void EditorTest::clocksStopWhileShownAndAllRunAfterwards() {
  QTimer other;
  clocks_->Add(&other);
  clocks_->SetRunning(false, "the test");  // the user had stopped them
  edit_->show();
  QVERIFY(!clocks_->Running());
  edit_->hide();
  QVERIFY(clocks_->Running());
  QVERIFY(other.isActive());
  QSignalSpy switched(clocks_.get(), &ClockSet::Switched);
  motiv_->show();
  QVERIFY(!other.isActive());
  motiv_->hide();
  QVERIFY(other.isActive());
  // Both switches name the editor, so a restart the user did not ask for is explained.
  QCOMPARE(switched.count(), 2);
  QCOMPARE(switched[0][1].toString(), QString("editor \"Motivwerte editieren\" opened"));
  QCOMPARE(switched[1][1].toString(), QString("editor \"Motivwerte editieren\" closed"));
}

void EditorTest::execIsModalAndCloses() {
  clocks_->SetRunning(true, "the test");
  bool stoppedWhileOpen = true;
  QTimer::singleShot(0, this, [&] {
    stoppedWhileOpen = !clocks_->Running();
    QPushButton* close = nullptr;
    for (QPushButton* b : edit_->findChildren<QPushButton*>())
      if (b->text() == "Fenster schliessen") close = b;
    QTest::mouseClick(close, Qt::LeftButton);
  });
  edit_->exec();
  QVERIFY(stoppedWhileOpen);
  QVERIFY(!edit_->isVisible());
  QVERIFY(clocks_->Running());
}

}  // namespace murinex

QTEST_MAIN(murinex::EditorTest)
#include "editor_test.moc"
