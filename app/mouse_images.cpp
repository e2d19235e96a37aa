#include "app/mouse_images.h"

#include <string>

#include "app/file_lookup.h"
#include "world/error.h"

namespace murinex {

namespace {

constexpr QRgb White = 0xFFFFFF;

bool PureWhite(QRgb pixel) {
  return (pixel & 0xFFFFFF) == White;
}

QImage ReadImage(const std::filesystem::path& folder, const std::string& name) {
  const std::string displayName = "bitmaps/" + name;
  const std::filesystem::path path = FindFileNoCase(folder, name);
  if (path.empty()) throw InputError(displayName, 0, "the image file does not exist");
  QImage image(QString::fromStdString(path.string()));
  if (image.isNull()) throw InputError(displayName, 0, "the file is not a readable image");
  return image.convertToFormat(QImage::Format_RGB32);
}

// A picture with every pixel mapped.
template <typename Map>
QImage Mapped(const QImage& image, Map map) {
  QImage out = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      line[x] = map(line[x]);
  }
  return out;
}

}  // namespace

const char* MouseImages::Prefix(int facing) {
  static const char* const prefixes[Facings] = {"N-", "NO", "O-", "SO", "S-", "SW", "W-", "NW"};
  return prefixes[facing & 7];
}

QImage MouseImages::LoadSpriteMask(const QImage& image) {
  return Mapped(image, [](QRgb p) { return PureWhite(p) ? qRgb(255, 255, 255) : qRgb(0, 0, 0); });
}

QImage MouseImages::LoadSpriteImage(const QImage& image) {
  return Mapped(image, [](QRgb p) { return PureWhite(p) ? qRgb(0, 0, 0) : p | 0xFF000000u; });
}

void MouseImages::Set(Kind kind, int facing, const QImage& image) {
  masks_[Index(kind, facing)] = LoadSpriteMask(image);
  sprites_[Index(kind, facing)] = LoadSpriteImage(image);
}

void MouseImages::Load(const std::filesystem::path& bitmapDir) {
  // As loaded: old, adult, young; mask and sprite of the adult come from "Mausk".
  const char* const loadedNames[3] = {"maus.bmp", "mausk.bmp", "MausM.bmp"};
  const char* const spriteNames[3] = {"maus.bmp", "Mausk.bmp", "MausM.bmp"};
  MouseImages next;
  for (int facing = 0; facing < Facings; ++facing) {
    for (int kind = Old; kind <= Young; ++kind) {
      const std::string prefix = Prefix(facing);
      ReadImage(bitmapDir, prefix + loadedNames[kind]);
      next.Set(static_cast<Kind>(kind), facing, ReadImage(bitmapDir, prefix + spriteNames[kind]));
    }
  }
  next.loaded_ = true;
  *this = std::move(next);
}

MouseImages::Kind MouseImages::KindForAge(int age, int lifeSpan) {
  if (age < 1000) return Young;
  if (age < lifeSpan - 500) return Adult;
  return Old;
}

}  // namespace murinex
