// The drawing surface: exact fills, opaque text, metrics, font state,
// picture copies and resizing, Windows-1251 text.
#include <climits>
#include <new>

#include <QFontInfo>
#include <gtest/gtest.h>

#include "QtText.h"
#include "MapGeometry.h"
#include "Picture.h"
#include "RenderFixture.h"

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kBlack = 0x000000;

TEST(PictureFill, RightAndBottomAreExclusive) {
    TPicture p(10, 10);
    p.SetBrushColor(kRed);
    p.FillRect(0, 0, 2, 2);
    EXPECT_EQ(CountColour(p, {0, 0, 10, 10}, kRed), 4);
    EXPECT_EQ(p.Pixel(1, 1), kRed);
    EXPECT_EQ(p.Pixel(2, 1), kWhite);
    EXPECT_EQ(p.Pixel(1, 2), kWhite);
}

TEST(PictureFill, OutsidePartsDroppedAndEmptyRectanglesFillNothing) {
    TPicture p(10, 10);
    p.SetBrushColor(kRed);
    p.FillRect(-5, -5, 2, 3);        // clipped to (0,0)-(2,3)
    EXPECT_EQ(CountColour(p, {0, 0, 10, 10}, kRed), 6);
    p.FillRect(8, 8, 100, 100);      // clipped to (8,8)-(10,10)
    EXPECT_EQ(CountColour(p, {0, 0, 10, 10}, kRed), 10);
    p.SetBrushColor(kBlue);
    p.FillRect(5, 5, 5, 9);          // zero width
    p.FillRect(6, 6, 4, 4);          // inverted
    p.FillRect(20, 20, 30, 30);      // wholly outside
    EXPECT_EQ(CountColour(p, {0, 0, 10, 10}, kBlue), 0);
}

TEST(PictureText, BoxIsFilledWithTheBrushThenGlyphsInTheFontColour) {
    TPicture p(200, 60);
    p.SetBrushColor(kBlack);
    p.FillRect(0, 0, 200, 60);
    p.SetBrushColor(kRed);
    p.SetFont(TFontState{"Arial", 9, true, kWhite});
    const int32_t w = p.TextWidth("Mill");
    const int32_t h = p.TextHeight("Mill");
    ASSERT_GT(w, 0);
    p.TextOut(10, 20, "Mill");
    // The box is exactly w x h: everything inside is brush or glyph, the
    // pixels just outside are untouched.
    const TRect box{10, 20, 10 + w, 20 + h};
    int glyph = 0;
    for (int32_t y = box.Top; y < box.Bottom; ++y)
        for (int32_t x = box.Left; x < box.Right; ++x)
            if (p.Pixel(x, y) != kRed) ++glyph;
    EXPECT_GT(glyph, 10);
    EXPECT_GT(CountColour(p, box, kRed), w * h / 3);
    EXPECT_EQ(p.Pixel(9, 20), kBlack);
    EXPECT_EQ(p.Pixel(10 + w, 20), kBlack);
    EXPECT_EQ(p.Pixel(10, 19), kBlack);
    EXPECT_EQ(p.Pixel(10, 20 + h), kBlack);
    EXPECT_EQ(p.Pixel(10, 20), kRed);   // the corner above the ascent is background
}

TEST(PictureText, CutOnlyAtThePictureEdges) {
    TPicture p(40, 20);
    p.SetBrushColor(kRed);
    p.SetFont(TFontState{"Arial", 9, false, kWhite});
    p.TextOut(-10, 2, "Wide words running past");   // no crash, clipped on both sides
    EXPECT_GT(CountColour(p, {0, 2, 40, 2 + p.TextHeight("W")}, kRed), 0);
    EXPECT_EQ(p.Pixel(0, 2), kRed);
    EXPECT_EQ(p.Pixel(39, 2), kRed);
    p.TextOut(30, 15, "Wide");                       // runs off the bottom right
    p.TextOut(1000, 1000, "far away");
}

TEST(PictureText, HeightIsTheLineHeightWhateverTheText) {
    TPicture p(1, 1);
    for (const char* face : {"Arial", "Courier New"}) {
        for (int32_t size : {8, 9, 48}) {
            p.SetFont(TFontState{face, size, false, kWhite});
            EXPECT_EQ(p.TextHeight("w"), p.TextHeight("W")) << face << size;
            EXPECT_EQ(p.TextHeight(""), p.TextHeight("gjW")) << face << size;
            EXPECT_GT(p.TextHeight("w"), size) << face << size;   // more pixels than points
        }
    }
    p.SetFont(TFontState{"Arial", 48, false, kWhite});
    const int32_t big = p.TextHeight("1");
    p.SetFontSize(8);
    EXPECT_LT(p.TextHeight("1") * 4, big);
    EXPECT_EQ(p.TextWidth(""), 0);
}

TEST(PictureText, GlyphsAreHintedToWholePixels) {
    TPicture p(40, 20);
    p.SetFont(TFontState{"Arial", 8, false, kWhite});
    // Whole-pixel advances: a line is as wide as its letters one by one.
    const std::string text = "Ferrocrete Foundry, Crystal Farm";
    int32_t letters = 0;
    for (char c : text) letters += p.TextWidth(std::string(1, c));
    EXPECT_EQ(p.TextWidth(text), letters);
    // Stems snapped to the pixel grid: the "l" is a column of full colour,
    // not two half-grey ones.
    p.SetBrushColor(kBlack);
    p.FillRect(0, 0, 40, 20);
    p.TextOut(10, 2, "l");
    EXPECT_GE(CountColour(p, {0, 0, 40, 20}, kWhite), 7);
}

TEST(PictureFont, FacesResolveAndPointsBecomePixelsAt96Dpi) {
    // The map is laid out for these two faces; a missing font would silently
    // change every row height.
    QFontInfo arial(TPicture::ToQFont(TFontState{"Arial", 9, false, 0}));
    QFontInfo courier(TPicture::ToQFont(TFontState{"Courier New", 8, false, 0}));
    EXPECT_FALSE(arial.fixedPitch());
    EXPECT_TRUE(courier.fixedPitch());
    EXPECT_EQ(arial.pixelSize(), 12);
    EXPECT_EQ(courier.pixelSize(), 11);
    EXPECT_EQ(QFontInfo(TPicture::ToQFont(TFontState{"Arial", 48, false, 0})).pixelSize(), 64);
}

TEST(PictureFont, StateKeptBetweenCallsAndRestoredWhole) {
    TPicture p(1, 1);
    p.SetFont(TFontState{"Courier New", 8, true, kRed});
    p.SetBrushColor(kBlue);
    const TFontState saved = p.Font();
    const int32_t width = p.TextWidth("TR");
    p.SetFontName("Arial");
    p.SetFontSize(48);
    p.SetFontBold(false);
    p.SetFontColor(kWhite);
    EXPECT_NE(p.TextWidth("TR"), width);
    p.SetFont(saved);
    EXPECT_EQ(p.Font(), saved);
    EXPECT_EQ(p.TextWidth("TR"), width);
    EXPECT_EQ(p.BrushColor(), kBlue);
    // Setting one part leaves the others.
    p.SetFontSize(9);
    EXPECT_EQ(p.Font().Name, "Courier New");
    EXPECT_TRUE(p.Font().Bold);
    EXPECT_EQ(p.Font().Color, kRed);
}

TEST(PictureResize, HeightChangeKeepsPixelsAndExtendsWithWhite) {
    TPicture p(4, 4);
    p.SetBrushColor(kRed);
    p.FillRect(0, 0, 4, 4);
    p.SetHeight(6);
    EXPECT_EQ(p.Width(), 4);
    EXPECT_EQ(p.Height(), 6);
    EXPECT_EQ(CountColour(p, {0, 0, 4, 4}, kRed), 16);
    EXPECT_EQ(CountColour(p, {0, 4, 4, 6}, kWhite), 8);
    p.SetHeight(2);
    EXPECT_EQ(p.Height(), 2);
    EXPECT_EQ(CountColour(p, {0, 0, 4, 2}, kRed), 8);
    p.SetHeight(-3);
    EXPECT_EQ(p.Height(), 0);

    TPicture q(3, 3);
    q.SetBrushColor(kRed);
    q.FillRect(0, 0, 3, 3);
    const QImage cropped = q.Cropped(5);   // rows below the raster are white
    EXPECT_EQ(cropped.size(), QSize(3, 5));
    EXPECT_EQ(FromQRgb(cropped.pixel(2, 2)), kRed);
    EXPECT_EQ(FromQRgb(cropped.pixel(2, 3)), kWhite);
}

TEST(PictureResize, ARasterLargerThanTheMemoryIsRefusedAndThePictureKept) {
    TPicture p(kMapWidth, 4);
    p.SetBrushColor(kRed);
    p.FillRect(0, 0, kMapWidth, 4);
    EXPECT_THROW(p.SetHeight(INT32_MAX), std::bad_alloc);
    EXPECT_EQ(p.Height(), 4);
    EXPECT_EQ(p.Pixel(kMapWidth - 1, 3), kRed);
}

TEST(PictureCopy, CopyTakesSizeAndPixelsAndStretchScalesEachAxis) {
    TPicture source(2, 2);
    source.SetBrushColor(kRed);
    source.FillRect(0, 0, 1, 1);
    source.SetBrushColor(kBlue);
    source.FillRect(1, 1, 2, 2);

    TPicture copy(7, 9);
    source.CopyTo(copy);
    EXPECT_EQ(copy.Width(), 2);
    EXPECT_EQ(copy.Height(), 2);
    EXPECT_EQ(copy.Pixel(0, 0), kRed);
    EXPECT_EQ(copy.Pixel(1, 1), kBlue);
    // The copy is independent of its source.
    copy.SetBrushColor(kBlack);
    copy.FillRect(0, 0, 2, 2);
    EXPECT_EQ(source.Pixel(0, 0), kRed);

    TPicture target(10, 10);
    target.SetBrushColor(kBlack);
    target.FillRect(0, 0, 10, 10);
    target.StretchDraw({2, 2, 6, 8}, source);   // 2x2 -> 4x6
    EXPECT_EQ(CountColour(target, {2, 2, 4, 5}, kRed), 6);
    EXPECT_EQ(CountColour(target, {4, 5, 6, 8}, kBlue), 6);
    EXPECT_EQ(CountColour(target, {4, 2, 6, 5}, kWhite), 6);
    EXPECT_EQ(target.Pixel(1, 1), kBlack);
    EXPECT_EQ(target.Pixel(6, 8), kBlack);
}

TEST(PictureColour, BgrValuesMapToQtRgb) {
    EXPECT_EQ(ToQRgb(0x2F5BED), qRgb(0xED, 0x5B, 0x2F));
    EXPECT_EQ(FromQRgb(qRgb(0, 154, 176)), 0xB09A00u);
}

TEST(Cp1251Text, ConvertsBothWaysAndRefusesWhatItCannotHold) {
    const std::string bytes = "\xCF\xF0\xEE\xE4\xF3\xEA\xF2 \xB8";   // "Продукт ё"
    const QString text = FromCp1251(bytes);
    EXPECT_EQ(text, QString::fromUtf8("Продукт ё"));
    std::string back;
    ASSERT_TRUE(TryToCp1251(text, back));
    EXPECT_EQ(back, bytes);
    // Every byte decodes to one character.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(FromCp1251(all).size(), 256);

    back = "kept";
    EXPECT_FALSE(TryToCp1251(QString::fromUtf8("Rock 漢"), back));
    EXPECT_EQ(back, "kept");
    EXPECT_EQ(ToCp1251(QString::fromUtf8("a漢b😀c")), "a?b?c");
}

}  // namespace
