#pragma once

#include <QImage>
#include <array>
#include <filesystem>

namespace murinex {

// The pictures of the mice: for each of the 8 facing directions an old, an
// adult and a young mouse, each as a mask (drawn with AND) and a sprite (drawn
// with OR over it), so that pure white is transparent.
class MouseImages {
 public:
  enum Kind { Old, Adult, Young };
  static constexpr int Facings = 8;

  // Loads the 24 pictures of the bitmaps folder (names looked up without
  // regard to case). Throws InputError naming the first file that is missing
  // or unreadable; the images already held stay as they were.
  void Load(const std::filesystem::path& bitmapDir);

  // Mask and sprite of the picture `image`, for one kind and facing.
  void Set(Kind kind, int facing, const QImage& image);
  bool Loaded() const { return loaded_; }
  const QImage& Mask(Kind kind, int facing) const { return masks_[Index(kind, facing)]; }
  const QImage& Sprite(Kind kind, int facing) const { return sprites_[Index(kind, facing)]; }

  // The kind a mouse of that age is drawn as.
  static Kind KindForAge(int age, int lifeSpan);

  // Every pixel that is not pure white becomes black; white stays white.
  static QImage LoadSpriteMask(const QImage& image);
  // Every pure white pixel becomes black; the others stay.
  static QImage LoadSpriteImage(const QImage& image);

  // The file prefix of a facing direction ("N-", "NO", ...).
  static const char* Prefix(int facing);

 private:
  static std::size_t Index(Kind kind, int facing) {
    return static_cast<std::size_t>(kind) * Facings + static_cast<std::size_t>(facing & 7);
  }

  bool loaded_ = false;
  std::array<QImage, 3 * Facings> masks_;
  std::array<QImage, 3 * Facings> sprites_;
};

}  // namespace murinex
