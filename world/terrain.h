#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "world/fields.h"
#include "world/geometry.h"
#include "world/point_grid.h"

namespace murinex {

class TInside;
class TextReader;

// Resource kinds of the patches; numbered as the goals of the same name.
enum TerraKind : std::uint8_t {
  KindNone = 0,  // not a patch read from a world file
  KindSand = 1,
  KindFood = 2,
  KindWater = 3,
  KindVorarazav = 4,
  KindStones = 5,
  KindHealingHerbs = 6,
};

// Days FirstDay <= d < EndDay of a year of 365 days.
struct TSeason {
  std::int32_t FirstDay = 0;
  std::int32_t EndDay = 0;
};

// A terrain patch: a polygon holding one kind of resource whose level grows in
// its seasons and decays outside them.
struct TTerra {
  std::string Name;
  TerraKind Kind = KindNone;
  std::vector<TSeason> Seasons;
  double Area = 0;
  double Amount = 0;  // what mice can take; Area * Level at the moments the seasons set it
  double Level = 0;   // fill level, 0 empty .. 1 full
  double Growth = 0;  // added to Level on each tick inside a season
  double Decay = 0;   // fraction of Level lost on each tick outside every season
  TPolygon Points;
  TPoint Centre;
  std::uint32_t Colour = 0;  // 0x00BBGGRR; 0 until the first tick

  // One tick of the year: grow inside the first matching season, decay outside.
  void UpdateSeason(std::int32_t day);
  void Recolour();
};

// A patch's single values; its seasons and corners are lists of their own.
template <class R, class V>
void PatchFields(R& t, V&& visit) {
  visit(FieldInfo{"Name"}, t.Name);
  visit(FieldInfo{"Kind", Field::Count, {}, 7}, t.Kind);
  visit(FieldInfo{"Area"}, t.Area);
  visit(FieldInfo{"Amount"}, t.Amount);
  visit(FieldInfo{"Level"}, t.Level);
  visit(FieldInfo{"Growth", Field::Growth}, t.Growth);
  visit(FieldInfo{"Decay", Field::Decay}, t.Decay);
  visit(FieldInfo{"Colour"}, t.Colour);
  visit(FieldInfo{"CentreX", Field::Corner}, t.Centre.x);
  visit(FieldInfo{"CentreY", Field::Corner}, t.Centre.y);
}

struct TRgb {
  std::uint8_t r, g, b;
};

// Indexed by Kind (1..6); entry 0 is unused.
extern const TRgb TerraColourLow[7];
extern const TRgb TerraColourHigh[7];

// All patches of the world and the lookup raster built from them.
class TWorld {
 public:
  // Reads a world file; `displayName` names it in error messages.
  static std::unique_ptr<TWorld> Load(const std::string& path, const std::string& displayName);
  static std::unique_ptr<TWorld> Load(TextReader& in);
  TWorld();
  ~TWorld();

  std::vector<std::unique_ptr<TTerra>> TerraList;
  TTerra* FirstTerra = nullptr;
  std::int32_t WorldWidth = 0;
  std::int32_t WorldHeight = 0;

  const TInside& Inside() const { return *inside_; }
  // Builds the lookup raster and the index of patch centres; called once all
  // patches are in TerraList, which stays as it is from then on.
  void BuildLookup();
  // The indices in TerraList, ascending, of the patches whose centre lies
  // within `reach` of p on both axes (a few more may come; none is missed).
  void CentresNear(TPoint p, std::int64_t reach, std::vector<std::uint32_t>& out) const;
  // The patch at a point, or FirstTerra where no patch lies.
  TTerra* TerraOrFirst(TPoint p) const;
  // Seasonal update of every patch, with the day of tick.
  void UpdateSeasons(std::int32_t tick);

 private:
  std::unique_ptr<TInside> inside_;
  PointGrid centres_;
};

// The largest raster the program accepts (pixels): 1 GiB of 32-bit pixels.
inline constexpr std::int64_t MaxWorldPixels = std::int64_t{1} << 28;

}  // namespace murinex
