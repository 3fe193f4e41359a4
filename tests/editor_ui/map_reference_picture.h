#pragma once
// The demo map drawn into a 640 x 480 picture and compared with its
// reference: a channel within 12 (the two builds' rounding and the text's
// anti-aliasing), and at most 1 pixel in 200 beyond it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/reference_image.h"
#include "tools/render_png/png_writer.h"

namespace kelvartest {

constexpr int kMapPictureWidth = 640;
constexpr int kMapPictureHeight = 480;
constexpr int kMapChannelTolerance = 12;
constexpr double kMapOutlierShare = 0.005;

// WRITE_REFERENCE_PICTURES makes the reference again after a deliberate
// change of the drawing (look at it before committing it).
inline void ExpectMapReferencePicture(const std::vector<std::uint8_t>& rgb, const char* name) {
  ASSERT_EQ(rgb.size(), std::size_t(kMapPictureWidth) * kMapPictureHeight * 3) << name;
  const std::string path = std::string(FIXTURES_DIR) + "/" + name;
  if (std::getenv("WRITE_REFERENCE_PICTURES")) {
    ASSERT_TRUE(WritePng(path, kMapPictureWidth, kMapPictureHeight, rgb));
  }
  testsupport::RgbImage reference;
  ASSERT_TRUE(testsupport::ReadPng(path, reference)) << name;
  ASSERT_EQ(reference.width, kMapPictureWidth);
  ASSERT_EQ(reference.height, kMapPictureHeight);
  EXPECT_LE(testsupport::Outliers(rgb, reference, kMapChannelTolerance),
            int(kMapOutlierShare * kMapPictureWidth * kMapPictureHeight))
      << name;
}

}  // namespace kelvartest
