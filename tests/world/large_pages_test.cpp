#include "world/large_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace murinex {
namespace {

using Big = std::vector<std::uint32_t, LargePageAllocator<std::uint32_t>>;

TEST(LargePagesTest, LargeBlocksStartOnAHugePageBoundary) {
  Big raster(3'000'000, 7);  // 12 MB
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(raster.data()) % (2u << 20), 0u);
  EXPECT_EQ(raster.front(), 7u);
  EXPECT_EQ(raster.back(), 7u);
}

TEST(LargePagesTest, ContentsSurviveGrowingFromSmallToLarge) {
  Big v;
  for (std::uint32_t i = 0; i < 2'000'000; ++i)  // passes the 4 MB threshold on the way
    v.push_back(i * 3);
  for (std::uint32_t i = 0; i < v.size(); i += 99'991)
    ASSERT_EQ(v[i], i * 3);
  EXPECT_EQ(v.back(), 1'999'999u * 3);
  v.assign(10, 1);  // small again after shrinking to fit
  v.shrink_to_fit();
  EXPECT_EQ(v, Big(10, 1));
}

}  // namespace
}  // namespace murinex
