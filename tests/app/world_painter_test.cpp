#include "app/world_painter.h"

#include <QtTest>

#include "agent/maus.h"
#include "app/mouse_images.h"
#include "tests/app/run_folder.h"
#include "tests/common/test_run.h"
#include "tests/views/image_checks.h"
#include "views/colour.h"

namespace murinex {

namespace {

const QColor Background(102, 255, 255);
const QColor FirstTerra(187, 170, 153);
const QColor OldColour(90, 90, 90), AdultColour(150, 75, 0), YoungColour(255, 0, 128);

QImage Block(const QColor& colour) {
  return test::BlockImage(colour);
}

}  // namespace

// A world of 400 x 300 drawn into a buffer of 800 x 300: the world lies at
// x 200..599, unscaled, with background stripes left and right.
class WorldPainterTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void backgroundTerrainAndOutlines();
  void aTallerBufferCentresTheWorldVertically();
  void miceAreDrawnByAgeWithWhiteTransparent();
  void thePickedMouseGetsAWhiteDisc();
  void friendFoeDiscsOnlyWhenChecked_data();
  void friendFoeDiscsOnlyWhenChecked();
  void placesOfThePickedMouseWithTheirRoute();
  void labelNamesTheMouseUnderThePointer();
  void withoutAWorldOnlyTheBackground();

 private:
  QImage Draw(QSize size = {800, 300}, QPoint pointer = {-100, -100});
  QColor At(const QImage& image, int worldX, int worldY) {
    return test::PixelAt(image, worldX + 200, worldY);
  }

  std::unique_ptr<test::TestRun> t_;
  MouseImages images_;
  bool showRelations_ = false;
  TMaus* adult_ = nullptr;
  TMaus* young_ = nullptr;
  TMaus* old_ = nullptr;
};

void WorldPainterTest::init() {
  showRelations_ = false;
  t_ = std::make_unique<test::TestRun>();
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindSand, 0, 0, 399, 299));
  patches.push_back(test::RectPatch(KindFood, 100, 100, 200, 200, 0.5));
  patches.back()->Recolour();
  t_->SetWorld(test::MakeWorld(400, 300, std::move(patches)));
  for (int facing = 0; facing < 8; ++facing) {
    images_.Set(MouseImages::Old, facing, Block(OldColour));
    images_.Set(MouseImages::Adult, facing, Block(AdultColour));
    images_.Set(MouseImages::Young, facing, Block(YoungColour));
  }
  adult_ = &t_->AddMaus({300, 50});
  adult_->Age = 1500;
  young_ = &t_->AddMaus({50, 250});
  young_->Age = 10;
  old_ = &t_->AddMaus({350, 250});
  old_->Age = 2600;  // life span 3000 in the test settings
  old_->Facing = 5;
}

void WorldPainterTest::cleanup() {
  t_.reset();
}

QImage WorldPainterTest::Draw(QSize size, QPoint pointer) {
  QImage buffer(size, QImage::Format_RGB32);
  buffer.fill(Qt::black);
  WorldPainter(t_->run, images_, showRelations_).Draw(buffer, pointer);
  return buffer;
}

void WorldPainterTest::backgroundTerrainAndOutlines() {
  const QImage image = Draw();
  QCOMPARE(test::PixelAt(image, 100, 150), Background);
  QCOMPARE(test::PixelAt(image, 700, 150), Background);
  QCOMPARE(At(image, 50, 50), FirstTerra);
  QCOMPARE(At(image, 150, 150), QColor(0, 152, 0));  // food at level 0.5
  QCOMPARE(At(image, 100, 150), QColor(Qt::black));  // its outline
  QCOMPARE(At(image, 0, 150), QColor(Qt::black));    // the outline of the first patch
}

void WorldPainterTest::aTallerBufferCentresTheWorldVertically() {
  const QImage image = Draw({400, 900});
  QCOMPARE(test::PixelAt(image, 50, 100), Background);
  QCOMPARE(test::PixelAt(image, 50, 300 + 50), FirstTerra);
  QCOMPARE(test::PixelAt(image, 150, 300 + 150), QColor(0, 152, 0));
  QCOMPARE(test::PixelAt(image, 50, 800), Background);
}

void WorldPainterTest::miceAreDrawnByAgeWithWhiteTransparent() {
  const QImage image = Draw();
  QCOMPARE(At(image, 300, 50), AdultColour);
  QCOMPARE(At(image, 302, 52), AdultColour);
  QCOMPARE(At(image, 300 - 6, 50 - 6), FirstTerra);  // white around it is transparent
  QCOMPARE(At(image, 300 + 7, 50 + 7), FirstTerra);
  QCOMPARE(At(image, 50, 250), YoungColour);
  QCOMPARE(At(image, 350, 250), OldColour);
}

void WorldPainterTest::thePickedMouseGetsAWhiteDisc() {
  t_->run.SelectedMaus = adult_->Handle;
  const QImage image = Draw();
  QCOMPARE(At(image, 300 + 9, 50), QColor(Qt::white));
  QCOMPARE(At(image, 300, 50 - 9), QColor(Qt::white));
  QCOMPARE(At(image, 300 - 6, 50 - 6), QColor(Qt::white));  // through the transparent white
  QCOMPARE(At(image, 300, 50), AdultColour);                // the mouse above the disc
  QCOMPARE(At(image, 300 + 14, 50), FirstTerra);
  QCOMPARE(At(image, 50 + 9, 250), FirstTerra);  // no disc around the others
}

void WorldPainterTest::friendFoeDiscsOnlyWhenChecked_data() {
  QTest::addColumn<bool>("checked");
  QTest::addColumn<double>("friendship");
  QTest::addColumn<double>("enmity");
  QTest::addColumn<QColor>("colour");
  QTest::newRow("friend") << true << 1.0 << 0.0 << QColor(0, 0, 255);
  QTest::newRow("enemy") << true << 0.0 << -1.0 << QColor(255, 0, 0);
  QTest::newRow("indifferent") << true << 0.0 << 0.0 << QColor(255, 0, 255);
  QTest::newRow("half, halves to even") << true << 0.5 << -0.5 << QColor(128, 0, 128);
  QTest::newRow("unchecked") << false << 1.0 << 0.0 << FirstTerra;
}

void WorldPainterTest::friendFoeDiscsOnlyWhenChecked() {
  QFETCH(bool, checked);
  QFETCH(double, friendship);
  QFETCH(double, enmity);
  QFETCH(QColor, colour);
  t_->run.SelectedMaus = adult_->Handle;
  showRelations_ = checked;
  adult_->Relations.push_back(TFrinEn{young_->ID, young_->Handle, friendship, enmity});
  adult_->Relations.push_back(TFrinEn{99, {}, 1, 0});  // a mouse no longer there
  const QImage image = Draw();
  QCOMPARE(At(image, 50 + 9, 250), colour);
  QCOMPARE(At(image, 50, 250), YoungColour);
  QCOMPARE(At(image, 350 + 9, 250), FirstTerra);
}

void WorldPainterTest::placesOfThePickedMouseWithTheirRoute() {
  t_->run.SelectedMaus = adult_->Handle;
  TGoalMemEl& food = FindElement(adult_->GoalMemory, t_->run.settings, goal::Food);
  PlaceList& places = adult_->GoalLocations;
  const PlaceHandle waypoint = places.New();
  const PlaceHandle target = places.New();
  places.At(target).Element = &food;
  places.At(target).Pos = {150, 30};
  places.At(target).Sign = '+';
  places.At(waypoint).Element = &food;
  places.At(waypoint).Pos = {100, 30};
  places.At(waypoint).Sign = '0';
  places.At(waypoint).Next = target;
  places.At(waypoint).NextIndex = 1;
  places.Append(waypoint);
  places.Append(target);
  const QImage image = Draw();
  const QColor foodColour = BgrColour(GoalColours[goal::Food]);
  QCOMPARE(At(image, 100, 30), foodColour);
  QCOMPARE(At(image, 125, 30), QColor(192, 192, 192));  // the route to the next place
  adult_->TargetLoc = target;
  const QImage heading = Draw();
  QCOMPARE(At(heading, 150, 30), QColor(255, 0, 0));  // the place it heads for
  QCOMPARE(At(heading, 100, 30), foodColour);
  QVERIFY(test::HasColourNear(heading, 200 + 150, 30, 4, QColor(Qt::white)));  // '+' outline
}

void WorldPainterTest::labelNamesTheMouseUnderThePointer() {
  const ViewGeometry view = ViewGeometry::Fit(400, 300, 800, 300);
  const WorldPainter painter(t_->run, images_, false);
  QCOMPARE(painter.Label(view, {200 + 310, 55}), QString::number(adult_->ID));
  QCOMPARE(painter.Label(view, {200 + 300 + 101, 50}), QString("MouseTry"));  // beyond 100
  QCOMPARE(painter.Label(view, {200 - 30, 250}),
           QString::number(young_->ID));  // on the stripe, 80 away
  const QImage image = Draw({800, 300}, {200 + 310, 55});
  QVERIFY(test::HasOtherThan(image, QRect(700, 10, 90, 15), Background));  // written top right
  QVERIFY(!test::HasOtherThan(image, QRect(791, 0, 9, 40), Background));   // 10 pixels margin
}

void WorldPainterTest::withoutAWorldOnlyTheBackground() {
  t_->run.World.reset();
  const QImage image = Draw();
  QVERIFY(!test::HasOtherThan(image, image.rect(), Background));
}

}  // namespace murinex

QTEST_MAIN(murinex::WorldPainterTest)
#include "world_painter_test.moc"
