#include "world/terrain.h"

#include <optional>

#include "world/error.h"
#include "world/input_ranges.h"
#include "world/inside.h"
#include "world/text_reader.h"

namespace murinex {

const TRgb TerraColourLow[7] = {{0, 0, 0},    {0, 120, 120}, {0, 50, 0}, {5, 5, 50},
                                {50, 25, 50}, {50, 50, 50},  {0, 50, 50}};
const TRgb TerraColourHigh[7] = {{0, 0, 0},       {0, 125, 125}, {0, 255, 0},  {125, 125, 255},
                                 {255, 125, 255}, {255, 0, 255}, {0, 255, 255}};

void TTerra::UpdateSeason(std::int32_t day) {
  const TSeason* season = nullptr;
  for (const TSeason& s : Seasons) {
    if (s.FirstDay <= day && day < s.EndDay) {
      season = &s;
      break;
    }
  }
  if (season) {
    Level = Level + Growth;
    if (Level > 1.0) Level = 1.0;
    Amount = Area * Level;
  } else {
    // Outside every season only the level decays; what mice took stays taken.
    Level = Level - Decay * Level;
  }
  Recolour();
}

void TTerra::Recolour() {
  auto channel = [this](std::uint8_t low, std::uint8_t high) {
    // Stored as a byte: out-of-range levels wrap as a byte assignment does.
    return static_cast<std::uint8_t>(low + RoundHalfEven((high - low) * Level));
  };
  const TRgb& lo = TerraColourLow[Kind];
  const TRgb& hi = TerraColourHigh[Kind];
  const std::uint32_t r = channel(lo.r, hi.r);
  const std::uint32_t g = channel(lo.g, hi.g);
  const std::uint32_t b = channel(lo.b, hi.b);
  Colour = r + 256 * g + 65536 * b;
}

TWorld::TWorld() = default;
TWorld::~TWorld() = default;

void TWorld::BuildLookup() {
  inside_ = std::make_unique<TInside>(*this);
  std::vector<TPoint> centres;
  centres.reserve(TerraList.size());
  for (const auto& terra : TerraList)
    centres.push_back(terra->Centre);
  // Cells about as wide as a mouse sees.
  centres_.Build(centres, WorldWidth, WorldHeight, 128);
}

void TWorld::CentresNear(TPoint p, std::int64_t reach, std::vector<std::uint32_t>& out) const {
  centres_.Near(p, reach, out);
}

TTerra* TWorld::TerraOrFirst(TPoint p) const {
  TTerra* terra = inside_->TerraAt(p.x, p.y);
  return terra ? terra : FirstTerra;
}

void TWorld::UpdateSeasons(std::int32_t tick) {
  const std::int32_t day = tick % 365;
  for (auto& terra : TerraList)
    terra->UpdateSeason(day);
}

namespace {

void ReadSize(TextReader& in, TWorld& world) {
  in.ReadLine("title");
  const int line = in.Line();
  world.WorldWidth = ReadInt(in, Field::WorldSide, "world width");
  world.WorldHeight = ReadInt(in, Field::WorldSide, "world height");
  in.NextLine();
  if (static_cast<std::int64_t>(world.WorldWidth) * world.WorldHeight > MaxWorldPixels)
    throw InputError(in.Name(), line,
                     "the world is too large for the terrain lookup (at most " +
                         std::to_string(MaxWorldPixels) + " units of area)");
}

// Pairs of integers, one or several per line, up to a blank line or the end.
void ReadPoints(TextReader& in, TTerra& terra) {
  while (!in.AtBlankLineStart()) {
    const std::int32_t x =
        ReadInt(in, Field::Corner, "x of a point of patch \"" + terra.Name + "\"");
    const std::int32_t y =
        ReadInt(in, Field::Corner, "y of a point of patch \"" + terra.Name + "\"");
    terra.Points.push_back({x, y});
    if (in.RestOfLineBlank()) in.NextLine();
  }
}

std::unique_ptr<TTerra> ReadPatch(TextReader& in) {
  auto terra = std::make_unique<TTerra>();
  const int nameLine = in.Line();
  std::string name = in.ReadLine("patch name");
  terra->Name = name.substr(std::min(name.find_first_not_of(" \t"), name.size()));
  const int kindLine = in.Line();
  const std::int32_t kind = in.ReadInt("patch kind");
  terra->Kind = static_cast<TerraKind>(kind & 0xFF);
  if (terra->Kind < KindSand || terra->Kind > KindHealingHerbs)
    throw InputError(
        in.Name(), kindLine,
        "patch \"" + terra->Name + "\": kind must be 1 to 6, found " + std::to_string(kind));
  in.NextLine();
  const std::string of = " of patch \"" + terra->Name + "\"";
  const std::int32_t count = ReadInt(in, Field::SeasonCount, "season count" + of);
  for (std::int32_t i = 0; i < count; ++i) {
    TSeason season;
    season.FirstDay = in.ReadInt("first day of a season");
    season.EndDay = in.ReadInt("end day of a season");
    terra->Seasons.push_back(season);
  }
  terra->Level = ReadReal(in, Field::Level, "Level" + of);
  terra->Growth = ReadReal(in, Field::Growth, "Growth" + of);
  terra->Decay = ReadReal(in, Field::Decay, "Decay" + of);
  in.NextLine();
  ReadPoints(in, *terra);
  if (terra->Points.size() < 3)
    throw InputError(in.Name(), nameLine,
                     "patch \"" + terra->Name + "\" needs at least three points, found " +
                         std::to_string(terra->Points.size()));
  terra->Area = PolygonArea(terra->Points);
  if (terra->Area == 0)
    throw InputError(in.Name(), nameLine, "patch \"" + terra->Name + "\" has zero area");
  // A self-crossing polygon of tiny area can put its centroid anywhere.
  const std::optional<TPoint> centre = CheckedPolygonCentre(terra->Points, 2.0 * CoordinateLimit);
  if (!centre)
    throw InputError(in.Name(), nameLine,
                     "patch \"" + terra->Name +
                         "\": the centre of the polygon lies far outside the world (does its "
                         "outline cross itself?)");
  terra->Centre = *centre;
  terra->Amount = terra->Area * terra->Level;
  return terra;
}

}  // namespace

std::unique_ptr<TWorld> TWorld::Load(const std::string& path, const std::string& displayName) {
  TextReader in = TextReader::Open(path, displayName);
  return Load(in);
}

std::unique_ptr<TWorld> TWorld::Load(TextReader& in) {
  const std::string& displayName = in.Name();
  auto world = std::make_unique<TWorld>();
  ReadSize(in, *world);
  while (!in.AtEnd()) {
    in.SkipBlankLines();
    world->TerraList.push_back(ReadPatch(in));
    if (world->TerraList.size() >= 0xFFFFFF)
      throw InputError(displayName, in.Line(), "too many patches for the terrain lookup");
  }
  if (world->TerraList.empty()) throw InputError(displayName, in.Line(), "the world has no patch");
  world->FirstTerra = world->TerraList.front().get();
  world->BuildLookup();
  return world;
}

}  // namespace murinex
