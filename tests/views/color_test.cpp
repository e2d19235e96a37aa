#include <QtTest>

#include "agent/names.h"
#include "tests/common/test_run.h"
#include "tests/views/image_checks.h"
#include "views/colour.h"
#include "views/tf_color.h"

namespace murinex {

namespace {

// A point inside the swatch of the row at y (paint box coordinates), in the window.
QPoint Swatch(int y) {
  return QPoint(20 + 110, 20 + y + 7);
}

}  // namespace

class ColorTest : public QObject {
  Q_OBJECT

 private slots:
  void windowAndPaintBoxHaveTheirPlaces();
  void needAndGoalSwatchesShowTheirColours();
  void actionSwatchesComeFromTheSettings();
  void theLastActionSwatchEndsAt565();
  void namesAndHeadingsAreWritten();
};

void ColorTest::windowAndPaintBoxHaveTheirPlaces() {
  test::TestRun t;
  TFColor legend(t.run);
  QCOMPARE(legend.geometry(), QRect(200, 200, 180, 630));
  QCOMPARE(TFColor::PaintBoxRect(), QRect(20, 20, 150, 570));
}

void ColorTest::needAndGoalSwatchesShowTheirColours() {
  test::TestRun t;
  TFColor legend(t.run);
  const QImage image = legend.grab().toImage();
  for (int i = 0; i < need::Count; ++i) {
    const QPoint p = Swatch(25 + 15 * i);
    QCOMPARE(test::PixelAt(image, p.x(), p.y()), BgrColour(NeedColours[i]));
  }
  for (int k = 0; k < goal::Count; ++k) {
    const QPoint p = Swatch(175 + 15 * k);
    QCOMPARE(test::PixelAt(image, p.x(), p.y()), BgrColour(GoalColours[k]));
  }
  // The swatch spans x 100..119 of the paint box.
  QCOMPARE(test::PixelAt(image, 20 + 100, 20 + 25), BgrColour(NeedColours[0]));
  QCOMPARE(test::PixelAt(image, 20 + 119, 20 + 25), BgrColour(NeedColours[0]));
  QCOMPARE(test::PixelAt(image, 20 + 120, 20 + 25), legend.palette().button().color());
}

void ColorTest::actionSwatchesComeFromTheSettings() {
  test::TestRun t;
  t.run.settings.ActionSettings[action::Smile].colour = 0x123456;
  TFColor legend(t.run);
  const QImage image = legend.grab().toImage();
  const QPoint smile = Swatch(370 + 15 * action::Smile);
  QCOMPARE(test::PixelAt(image, smile.x(), smile.y()), QColor(0x56, 0x34, 0x12));
  const QPoint move = Swatch(370 + 15 * action::Move);
  QCOMPARE(test::PixelAt(image, move.x(), move.y()), QColor(0, 255, 0));  // 65280 in the settings
}

void ColorTest::theLastActionSwatchEndsAt565() {
  test::TestRun t;
  TFColor legend(t.run);
  const QImage image = legend.grab().toImage();
  const QColor care = BgrColour(4210752);  // Care in the test settings
  QCOMPARE(test::PixelAt(image, 20 + 110, 20 + 550), care);
  QCOMPARE(test::PixelAt(image, 20 + 110, 20 + 564), care);
  QCOMPARE(test::PixelAt(image, 20 + 110, 20 + 565), legend.palette().button().color());
}

void ColorTest::namesAndHeadingsAreWritten() {
  test::TestRun t;
  TFColor legend(t.run);
  const QImage image = legend.grab().toImage();
  const QColor face = legend.palette().button().color();
  QVERIFY(test::HasOtherThan(image, QRect(20 + 10, 20 + 10, 60, 14), face));   // "Needs"
  QVERIFY(test::HasOtherThan(image, QRect(20 + 10, 20 + 355, 60, 14), face));  // "Actions"
  QVERIFY(test::HasOtherThan(image, QRect(20 + 10, 20 + 370 + 15 * 12, 60, 14), face));  // "Care"
  QVERIFY(!test::HasOtherThan(image, QRect(20 + 10, 20 + 566, 140, 4), face));  // below "Care"
  QVERIFY(!test::HasOtherThan(image, QRect(20 + 125, 20, 25, 570), face));  // right of the swatches
}

}  // namespace murinex

QTEST_MAIN(murinex::ColorTest)
#include "color_test.moc"
