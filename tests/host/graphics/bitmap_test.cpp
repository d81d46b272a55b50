#include <gtest/gtest.h>

#include "host/graphics/Bitmap.h"
#include "tests/Fixtures.h"

using namespace zd;

TEST(Bitmap, PixelsSurviveDibAndPngRoundTripsAndPalettedDibsDecode) {
  TBitmap b(5, 3, clWhite);
  b.SetPixel(0, 0, clRed);
  b.SetPixel(4, 2, RGBColor(10, 20, 30));
  std::vector<uint8_t> info, bits;
  b.ToDib(info, bits);
  ASSERT_EQ(info.size(), 40u);
  EXPECT_EQ(bits.size(), 16u * 3);  // rows padded to 4 bytes
  TBitmap d = TBitmap::FromDib(info.data(), info.size(), bits.data(), bits.size());
  EXPECT_EQ(d.Width(), 5);
  EXPECT_EQ(d.Pixel(0, 0), clRed);
  EXPECT_EQ(d.Pixel(4, 2), RGBColor(10, 20, 30));
  EXPECT_EQ(d.Pixel(2, 1), clWhite);

  TBitmap p;
  p.LoadFromBytes(b.SaveToBytes(TImageFormat::Png));
  EXPECT_EQ(p.Pixel(4, 2), RGBColor(10, 20, 30));
  TPicture pic;
  pic.LoadFromBytes(b.SaveToBytes(TImageFormat::Bmp));
  EXPECT_EQ(pic.Kind(), TPictureKind::Bitmap);
  EXPECT_EQ(pic.Width(), 5);
  EXPECT_EQ(pic.Bitmap().Pixel(0, 0), clRed);
  // 2x1, 1 bpp, palette black/blue; pixels 1,0.
  info.assign(40 + 8, 0);
  info[0] = 40; info[4] = 2; info[8] = 1; info[12] = 1; info[14] = 1;
  info[40 + 4] = 0xFF;  // entry 1: blue (B,G,R,0)
  bits = {0x80, 0, 0, 0};
  const TBitmap paletted = TBitmap::FromDib(info.data(), info.size(), bits.data(), bits.size());
  EXPECT_EQ(paletted.Pixel(0, 0), clBlue);
  EXPECT_EQ(paletted.Pixel(1, 0), clBlack);
}

TEST(Bitmap, MalformedInputThrows) {
  std::vector<uint8_t> info(40, 0);
  info[0] = 40; info[4] = 4; info[8] = 4; info[12] = 1; info[14] = 24;
  std::vector<uint8_t> bits(10);
  EXPECT_THROW(TBitmap::FromDib(info.data(), info.size(), bits.data(), bits.size()), EGraphicsError);
  info[4] = 0xFF; info[5] = 0xFF; info[6] = 0xFF; info[7] = 0x7F;  // huge width
  EXPECT_THROW(TBitmap::FromDib(info.data(), info.size(), bits.data(), bits.size()), EGraphicsError);
  EXPECT_THROW(TBitmap::FromDib(info.data(), 8, bits.data(), bits.size()), EGraphicsError);
  TBitmap b;
  EXPECT_THROW(b.LoadFromBytes({1, 2, 3}), EGraphicsError);
  EXPECT_THROW(b.Pixel(0, 0), EGraphicsError);
  EXPECT_THROW(b.SetSize(100000, 100000), EGraphicsError);
  TPicture pic;
  EXPECT_THROW(pic.LoadFromBytes({'x', 'y'}), EGraphicsError);
}
