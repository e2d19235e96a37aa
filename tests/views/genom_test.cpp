#include <QPushButton>
#include <QtTest>

#include "tests/common/test_run.h"
#include "tests/views/image_checks.h"
#include "views/image_box.h"
#include "views/tf_genom.h"

namespace murinex {

namespace {

const QColor Silver(192, 192, 192);
const QColor Red(255, 0, 0);

// Gene k (1..32) is plotted at x = 50 + 20 (k - 1); a value v at y = 230 - 200 v.
int GeneX(int k) {
  return 50 + 20 * (k - 1);
}

// A mouse whose genes all lie on 0 except the Hunger weight. The test settings'
// weight range 0.5..2.0 is 1.5 wide, so a weight w lies at v = w / 1.5.
TMaus& AddFlatMouse(test::TestRun& t, double hungerWeight) {
  TMaus& m = t.AddMaus({1, 1});
  for (auto& motive : m.Motives) {
    motive.Weight = 0;
    motive.MaxReserve = 0;
    motive.BasMeta = 0;
  }
  m.Params.fill(0);
  m.M(need::Hunger).Weight = hungerWeight;
  return m;
}

}  // namespace

class GenomTest : public QObject {
  Q_OBJECT

 private slots:
  void windowHasItsSizesAndButton();
  void withoutMiceOnlyAxesLabelsAndTitlesAreDrawn();
  void geneLabelsStandOnThreeRowsInTheirGroupColours();
  void aWeightEqualToItsRangeWidthLiesOnTheTopLine();
  void basalMetabolismAtItsMinimumLiesOnZero();
  void aRangeOfWidthZeroDrawsTheGeneAtZero();
  void genesOffTheScaleStandOnItsEdges();
  void theEighthMouseTakesTheColourOfTheFirst();
  void theGenomeIsRefreshedFromTheMouse();
  void thePictureIsKeptForRepaints();
};

void GenomTest::windowHasItsSizesAndButton() {
  test::TestRun t;
  TFGenom genom(t.run);
  QCOMPARE(genom.windowTitle(), QString("Genom"));
  QCOMPARE(genom.size(), QSize(750, 400));
  QCOMPARE(genom.PaintBox().geometry(), QRect(24, 24, 700, 300));
  const auto buttons = genom.findChildren<QPushButton*>();
  QCOMPARE(buttons.size(), 1);
  QCOMPARE(buttons[0]->text(), QString("Show Genomes"));
  QCOMPARE(buttons[0]->geometry(), QRect(564, 336, 90, 25));
}

void GenomTest::withoutMiceOnlyAxesLabelsAndTitlesAreDrawn() {
  test::TestRun t;
  const QImage image = TFGenom::DrawGenomes(t.run);
  QCOMPARE(image.size(), QSize(700, 300));
  QCOMPARE(test::PixelAt(image, 50, 130), QColor(Qt::black));  // vertical axis
  QCOMPARE(test::PixelAt(image, 47, 130), QColor(Qt::black));  // tick of 0.50
  QCOMPARE(test::PixelAt(image, 47, 140), Silver);
  QCOMPARE(test::PixelAt(image, 300, 230), QColor(Qt::black));  // horizontal axis
  QCOMPARE(test::PixelAt(image, 60, 233), Silver);
  QCOMPARE(test::PixelAt(image, 70, 233), QColor(Qt::black));  // gene tick
  QCOMPARE(test::PixelAt(image, 400, 120), Silver);
  QVERIFY(test::HasColourIn(image, QRect(20, 225, 30, 15), QColor(Qt::blue)));  // "0.00"
  QVERIFY(test::HasColourIn(image, QRect(90, 280, 80, 15), Red));               // "MotWeights"
  QVERIFY(test::HasColourIn(image, QRect(580, 280, 80, 15), Red));              // "BasalMetaBol"
  QVERIFY(!test::HasColourIn(image, QRect(51, 0, 649, 229), Red));              // no line
}

void GenomTest::geneLabelsStandOnThreeRowsInTheirGroupColours() {
  test::TestRun t;
  const QImage image = TFGenom::DrawGenomes(t.run);
  const QColor green(0, 128, 0), navy(0, 0, 128), teal(0, 128, 128), purple(128, 0, 128);
  auto row = [](int k, int s) { return QRect(GeneX(k) - 5, 237 + s, 50, 12); };
  QVERIFY(test::HasColourIn(image, row(1, 0), green));                    // Hunger, first row
  QVERIFY(test::HasColourIn(image, row(2, 13), green));                   // Thirst, second row
  QVERIFY(test::HasColourIn(image, row(3, 26), green));                   // Pain, third row
  QVERIFY(test::HasColourIn(image, row(8, 13), navy));                    // BasAr
  QVERIFY(test::HasColourIn(image, row(23, 13), teal));                   // Reserve Hunger
  QVERIFY(test::HasColourIn(image, row(26, 13), purple));                 // BasalMetaBol Hunger
  QVERIFY(!test::HasColourIn(image, QRect(0, 237 + 39, 700, 3), green));  // clipped to the row
}

void GenomTest::aWeightEqualToItsRangeWidthLiesOnTheTopLine() {
  test::TestRun t;
  AddFlatMouse(t, 1.5);
  const QImage image = TFGenom::DrawGenomes(t.run);
  QVERIFY(test::HasColourNear(image, GeneX(1), 30, 3, Red));
  QVERIFY(test::HasColourNear(image, GeneX(2), 230, 3, Red));  // Thirst weight 0
}

void GenomTest::basalMetabolismAtItsMinimumLiesOnZero() {
  test::TestRun t;
  t.run.settings.BasalMetaBolRanges[need::Hunger] = {0, 0.01, 0.05};
  t.run.settings.MotWeightRanges[need::Hunger] = {0, 0.5, 2.0};
  TMaus& m = AddFlatMouse(t, 0.5);  // a weight at its minimum does not lie on zero
  m.M(need::Hunger).BasMeta = 0.01;
  m.M(need::Thirst).BasMeta = 0.05;  // range 0..0.05: the top
  const QImage image = TFGenom::DrawGenomes(t.run);
  const int weightY = 230 - static_cast<int>(200 * 0.5 / 1.5 + 0.5);
  QVERIFY(test::HasColourNear(image, GeneX(1), weightY, 2, Red));
  QVERIFY(test::HasColourNear(image, GeneX(26), 230, 3, Red));
  QVERIFY(test::HasColourNear(image, GeneX(27), 30, 3, Red));
}

void GenomTest::aRangeOfWidthZeroDrawsTheGeneAtZero() {
  test::TestRun t;
  t.run.settings.MotWeightRanges[need::Hunger] = {0, 1.0, 1.0};
  t.run.settings.PersonRanges[param::BasAr] = {0, 0.3, 0.3};
  TMaus& m = AddFlatMouse(t, 1.0);
  m.Params[param::BasAr] = 0.3;
  const QImage image = TFGenom::DrawGenomes(t.run);
  QVERIFY(test::HasColourNear(image, GeneX(1), 230, 3, Red));
  QVERIFY(test::HasColourNear(image, GeneX(8), 230, 3, Red));
  QVERIFY(!test::HasColourIn(image, QRect(GeneX(1) - 3, 0, 7, 220), Red));
}

void GenomTest::genesOffTheScaleStandOnItsEdges() {
  test::TestRun t;
  TMaus& m = AddFlatMouse(t, 3.0);  // v = 2: twice the top
  m.M(need::Thirst).Weight = -1.5;  // v = -1: as far below the axis
  const QImage image = TFGenom::DrawGenomes(t.run);
  // The top line is y = 30, the axis y = 230; the gene labels fill y = 237..276.
  QVERIFY(test::HasColourNear(image, GeneX(1), 30, 3, Red));
  QVERIFY(!test::HasColourIn(image, QRect(0, 0, 700, 22), Red));
  QVERIFY(test::HasColourNear(image, GeneX(2), 230, 3, Red));
  QVERIFY(!test::HasColourIn(image, QRect(0, 237, 700, 40), Red));  // the titles below are red
}

void GenomTest::theEighthMouseTakesTheColourOfTheFirst() {
  test::TestRun t;
  // Mouse j puts its Hunger weight at y = 40 + 20 j: v = (190 - 20 j) / 200.
  for (int j = 0; j < 8; ++j)
    AddFlatMouse(t, 1.5 * (190 - 20 * j) / 200.0);
  const QImage image = TFGenom::DrawGenomes(t.run);
  const QColor colours[8] = {{255, 0, 0}, {0, 0, 255},   {0, 255, 255},   {0, 128, 0},
                             {0, 255, 0}, {255, 255, 0}, {128, 128, 128}, {255, 0, 0}};
  for (int j = 0; j < 8; ++j)
    QVERIFY2(test::HasColourNear(image, GeneX(1), 40 + 20 * j, 2, colours[j]),
             qPrintable(QString("mouse %1").arg(j + 1)));
  QVERIFY(!test::HasColourNear(image, GeneX(1), 40 + 20 * 7, 2, QColor(0, 0, 255)));
}

void GenomTest::theGenomeIsRefreshedFromTheMouse() {
  test::TestRun t;
  TMaus& m = AddFlatMouse(t, 0);
  m.M(need::Hunger).Weight = 1.5;  // after the snapshot of construction
  TFGenom::DrawGenomes(t.run);
  QCOMPARE(m.Genom->MotWeights[need::Hunger], 1.5);
}

void GenomTest::thePictureIsKeptForRepaints() {
  test::TestRun t;
  AddFlatMouse(t, 1.5);
  TFGenom genom(t.run);
  QVERIFY(genom.PaintBox().Picture().isNull());
  genom.ShowGenomes();
  // Whenever the box is painted again (uncovered), the picture comes back.
  for (int i = 0; i < 2; ++i) {
    const QImage shown = genom.grab().toImage();
    QVERIFY(test::HasColourNear(shown, 24 + GeneX(1), 24 + 30, 3, Red));
    QCOMPARE(test::PixelAt(shown, 24 + 400, 24 + 120), Silver);
  }
}

}  // namespace murinex

QTEST_MAIN(murinex::GenomTest)
#include "genom_test.moc"
