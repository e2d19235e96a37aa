#include "app/mouse_images.h"

#include <QPainter>
#include <QtTest>

#include "app/file_lookup.h"
#include "tests/app/run_folder.h"
#include "world/error.h"

namespace murinex {

class MouseImagesTest : public QObject {
  Q_OBJECT

 private slots:
  void maskAndSpriteSplitAtPureWhite();
  void maskAndSpriteShowTheMouseOverAnyBackground();
  void allTwentyFourImagesLoad();
  void namesAreFoundWhateverTheirCase();
  void adultMaskAndSpriteComeFromTheCapitalisedFile();
  void aMissingImageIsAnErrorNamingIt();
  void kindFollowsTheAge_data();
  void kindFollowsTheAge();
  void findFileNoCasePrefersTheExactName();
};

void MouseImagesTest::maskAndSpriteSplitAtPureWhite() {
  QImage image(3, 1, QImage::Format_RGB32);
  image.setPixelColor(0, 0, QColor(255, 255, 255));
  image.setPixelColor(1, 0, QColor(254, 255, 255));  // almost white is not transparent
  image.setPixelColor(2, 0, QColor(200, 10, 30));
  const QImage mask = MouseImages::LoadSpriteMask(image);
  const QImage sprite = MouseImages::LoadSpriteImage(image);
  QCOMPARE(mask.pixelColor(0, 0), QColor(255, 255, 255));
  QCOMPARE(mask.pixelColor(1, 0), QColor(0, 0, 0));
  QCOMPARE(mask.pixelColor(2, 0), QColor(0, 0, 0));
  QCOMPARE(sprite.pixelColor(0, 0), QColor(0, 0, 0));
  QCOMPARE(sprite.pixelColor(1, 0), QColor(254, 255, 255));
  QCOMPARE(sprite.pixelColor(2, 0), QColor(200, 10, 30));
}

void MouseImagesTest::maskAndSpriteShowTheMouseOverAnyBackground() {
  const QImage picture = test::BlockImage(QColor(10, 200, 30));
  QImage target(15, 15, QImage::Format_RGB32);
  target.fill(QColor(90, 80, 70));
  QPainter p(&target);
  p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
  p.drawImage(0, 0, MouseImages::LoadSpriteMask(picture));
  p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
  p.drawImage(0, 0, MouseImages::LoadSpriteImage(picture));
  p.end();
  QCOMPARE(target.pixelColor(7, 7), QColor(10, 200, 30));
  QCOMPARE(target.pixelColor(1, 1), QColor(90, 80, 70));
}

void MouseImagesTest::allTwentyFourImagesLoad() {
  test::TempDir dir;
  test::WriteMouseImages(dir.path());
  MouseImages images;
  QVERIFY(!images.Loaded());
  images.Load(dir.path());
  QVERIFY(images.Loaded());
  for (int facing = 0; facing < 8; ++facing) {
    for (auto kind : {MouseImages::Old, MouseImages::Adult, MouseImages::Young}) {
      QCOMPARE(images.Sprite(kind, facing).size(), QSize(15, 15));
      QCOMPARE(images.Mask(kind, facing).pixelColor(0, 0), QColor(255, 255, 255));
      QCOMPARE(images.Mask(kind, facing).pixelColor(7, 7), QColor(0, 0, 0));
    }
  }
}

void MouseImagesTest::namesAreFoundWhateverTheirCase() {
  test::TempDir dir;
  test::WriteMouseImages(dir.path(), true);
  QVERIFY(std::filesystem::exists(dir / "n-mausm.bmp"));
  MouseImages images;
  images.Load(dir.path());
  QVERIFY(images.Loaded());
}

void MouseImagesTest::adultMaskAndSpriteComeFromTheCapitalisedFile() {
  test::TempDir dir;
  test::WriteMouseImages(dir.path());
  test::BlockImage(QColor(255, 0, 0))
      .save(QString::fromStdString((dir / "O-mausk.bmp").string()), "BMP");
  test::BlockImage(QColor(0, 0, 255))
      .save(QString::fromStdString((dir / "O-Mausk.bmp").string()), "BMP");
  MouseImages images;
  images.Load(dir.path());
  QCOMPARE(images.Sprite(MouseImages::Adult, 2).pixelColor(7, 7), QColor(0, 0, 255));
}

void MouseImagesTest::aMissingImageIsAnErrorNamingIt() {
  test::TempDir dir;
  test::WriteMouseImages(dir.path());
  std::filesystem::remove(dir / "SWmaus.bmp");
  MouseImages images;
  try {
    images.Load(dir.path());
    QFAIL("no error");
  } catch (const InputError& error) {
    QCOMPARE(error.file(), std::string("bitmaps/SWmaus.bmp"));
  }
  QVERIFY(!images.Loaded());
  QVERIFY(images.Sprite(MouseImages::Old, 0).isNull());
  // Once every picture is there, the same images load.
  test::WriteMouseImages(dir.path());
  images.Load(dir.path());
  QVERIFY(images.Loaded());
  // The adult picture as loaded and its sprite may be one file.
  std::filesystem::remove(dir / "N-mausk.bmp");
  images.Load(dir.path());
  std::filesystem::remove(dir / "N-Mausk.bmp");
  QVERIFY_THROWS_EXCEPTION(InputError, images.Load(dir.path()));
}

void MouseImagesTest::kindFollowsTheAge_data() {
  QTest::addColumn<int>("age");
  QTest::addColumn<int>("kind");
  // Life span 3000: old from 2500 on.
  QTest::newRow("newborn") << 0 << int(MouseImages::Young);
  QTest::newRow("999") << 999 << int(MouseImages::Young);
  QTest::newRow("1000") << 1000 << int(MouseImages::Adult);
  QTest::newRow("2499") << 2499 << int(MouseImages::Adult);
  QTest::newRow("2500") << 2500 << int(MouseImages::Old);
}

void MouseImagesTest::kindFollowsTheAge() {
  QFETCH(int, age);
  QFETCH(int, kind);
  QCOMPARE(int(MouseImages::KindForAge(age, 3000)), kind);
}

void MouseImagesTest::findFileNoCasePrefersTheExactName() {
  test::TempDir dir;
  test::WriteText(dir / "Aggress.WAV", "x");
  test::WriteText(dir / "aggress.wav", "y");
  test::WriteText(dir / "Smile.wav", "z");
  QCOMPARE(FindFileNoCase(dir.path(), "aggress.wav"), dir / "aggress.wav");
  QCOMPARE(FindFileNoCase(dir.path(), "smile.WAV"), dir / "Smile.wav");
  QVERIFY(FindFileNoCase(dir.path(), "bite.wav").empty());
  QVERIFY(FindFileNoCase(dir / "missing", "smile.wav").empty());
}

}  // namespace murinex

QTEST_MAIN(murinex::MouseImagesTest)
#include "mouse_images_test.moc"
