#include "app/world_geometry.h"

#include <QtTest>

#include "tests/common/test_run.h"

Q_DECLARE_METATYPE(murinex::TPoint)

namespace murinex {

class WorldGeometryTest : public QObject {
  Q_OBJECT

 private slots:
  void mulDivRoundsToTheNearestHalvesToEven_data();
  void mulDivRoundsToTheNearestHalvesToEven();
  void fitKeepsTheWorldUniformlyScaledAndCentred_data();
  void fitKeepsTheWorldUniformlyScaledAndCentred();
  void screenToWorldUndoesWorldToScreen();
  void mausAtPicksTheNearestWithinTheDistance_data();
  void mausAtPicksTheNearestWithinTheDistance();
  void mausAtTakesTheFirstOfEqualsAndNoneWithoutMice();
};

void WorldGeometryTest::mulDivRoundsToTheNearestHalvesToEven_data() {
  QTest::addColumn<int>("a");
  QTest::addColumn<int>("b");
  QTest::addColumn<int>("c");
  QTest::addColumn<int>("result");
  QTest::newRow("exact") << 400 << 300 << 300 << 400;
  QTest::newRow("2.5 to 2") << 5 << 1 << 2 << 2;
  QTest::newRow("3.5 to 4") << 7 << 1 << 2 << 4;
  QTest::newRow("2.4 to 2") << 12 << 1 << 5 << 2;
  QTest::newRow("2.6 to 3") << 13 << 1 << 5 << 3;
  QTest::newRow("-2.5 to -2") << -5 << 1 << 2 << -2;
  QTest::newRow("-2.6 to -3") << -13 << 1 << 5 << -3;
  QTest::newRow("64-bit intermediate") << 100000 << 100000 << 1000000 << 10000;
  QTest::newRow("division by zero") << 5 << 3 << 0 << -1;
}

void WorldGeometryTest::mulDivRoundsToTheNearestHalvesToEven() {
  QFETCH(int, a);
  QFETCH(int, b);
  QFETCH(int, c);
  QFETCH(int, result);
  QCOMPARE(MulDiv(a, b, c), result);
}

void WorldGeometryTest::fitKeepsTheWorldUniformlyScaledAndCentred_data() {
  QTest::addColumn<int>("W");
  QTest::addColumn<int>("H");
  QTest::addColumn<int>("w");
  QTest::addColumn<int>("h");
  QTest::addColumn<TPoint>("origin");  // where world (0, 0) lands
  QTest::addColumn<TPoint>("corner");  // where world (400, 300) lands
  // A world of 400 x 300.
  QTest::newRow("wider: full height, stripes left and right")
      << 1000 << 300 << 400 << 300 << TPoint{300, 0} << TPoint{700, 300};
  QTest::newRow("twice as wide at double size")
      << 1600 << 600 << 800 << 600 << TPoint{400, 0} << TPoint{1200, 600};
  QTest::newRow("taller: full width, stripes above and below")
      << 400 << 900 << 400 << 300 << TPoint{0, 300} << TPoint{400, 600};
  QTest::newRow("same aspect, scaled")
      << 800 << 600 << 800 << 600 << TPoint{0, 0} << TPoint{800, 600};
  QTest::newRow("odd stripes") << 401 << 150 << 200 << 150 << TPoint{100, 0} << TPoint{300, 150};
}

void WorldGeometryTest::fitKeepsTheWorldUniformlyScaledAndCentred() {
  QFETCH(int, W);
  QFETCH(int, H);
  QFETCH(int, w);
  QFETCH(int, h);
  QFETCH(TPoint, origin);
  QFETCH(TPoint, corner);
  const ViewGeometry view = ViewGeometry::Fit(400, 300, W, H);
  QCOMPARE(view.drawnWidth, w);
  QCOMPARE(view.drawnHeight, h);
  QVERIFY(view.WorldToScreen({0, 0}) == origin);
  QVERIFY(view.WorldToScreen({400, 300}) == corner);
}

void WorldGeometryTest::screenToWorldUndoesWorldToScreen() {
  const ViewGeometry wide = ViewGeometry::Fit(400, 300, 1000, 300);
  QVERIFY((wide.ScreenToWorld({300, 0}) == TPoint{0, 0}));
  QVERIFY((wide.ScreenToWorld({500, 150}) == TPoint{200, 150}));
  QVERIFY((wide.ScreenToWorld({100, 10}) == TPoint{-200, 10}));     // left of the world
  const ViewGeometry tall = ViewGeometry::Fit(400, 300, 200, 900);  // half size
  QCOMPARE(tall.drawnHeight, 150);
  QVERIFY((tall.WorldToScreen({200, 150}) == TPoint{100, 450}));
  QVERIFY((tall.ScreenToWorld({100, 450}) == TPoint{200, 150}));
  QVERIFY((tall.ScreenToWorld({50, 375}) == TPoint{100, 0}));
}

void WorldGeometryTest::mausAtPicksTheNearestWithinTheDistance_data() {
  QTest::addColumn<TPoint>("screen");
  QTest::addColumn<double>("maxDistance");
  QTest::addColumn<int>("picked");  // index in the list, -1 for none
  // Mice at (100, 100) and (300, 200); the view is the world at double size.
  QTest::newRow("on the first") << TPoint{200, 200} << 100.0 << 0;
  QTest::newRow("near the second") << TPoint{580, 380} << 100.0 << 1;
  QTest::newRow("exactly 100 away") << TPoint{200, 400} << 100.0 << 0;
  QTest::newRow("more than 100 from all") << TPoint{0, 560} << 100.0 << -1;
  QTest::newRow("no limit below 1") << TPoint{0, 560} << 0.5 << 0;
}

void WorldGeometryTest::mausAtPicksTheNearestWithinTheDistance() {
  QFETCH(TPoint, screen);
  QFETCH(double, maxDistance);
  QFETCH(int, picked);
  test::TestRun t;
  t.AddMaus({100, 100});
  t.AddMaus({300, 200});
  const ViewGeometry view = ViewGeometry::Fit(400, 300, 800, 600);
  TMaus* m = MausAt(t.run, view, screen, maxDistance);
  QCOMPARE(m, picked < 0 ? nullptr : t.run.Mice[static_cast<std::size_t>(picked)].get());
}

void WorldGeometryTest::mausAtTakesTheFirstOfEqualsAndNoneWithoutMice() {
  test::TestRun t;
  const ViewGeometry view = ViewGeometry::Fit(400, 300, 400, 300);
  QCOMPARE(MausAt(t.run, view, {10, 10}, 0), nullptr);
  t.AddMaus({100, 100});
  t.AddMaus({120, 100});
  QCOMPARE(MausAt(t.run, view, {110, 100}, 100), t.run.Mice[0].get());
}

}  // namespace murinex

QTEST_MAIN(murinex::WorldGeometryTest)
#include "world_geometry_test.moc"
