// Numbers drawn with a digit sprite: the page number ending at its x, and the
// game's aligned, spaced and zero-padded numbers. Digit d draws a bar d + 1
// rows high, so the height of the ink tells which digit stands where.
#include "text_test_support.h"

#include "ui/text/number_sprite.h"

namespace {

class DigitNumbers : public texttest::TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        WriteBmp("digits.bmp", texttest::DigitStrip(8, 12));
    }
    // The digits found at each step from pen on: the bar height less one, or -1.
    std::vector<int> DigitsFrom(IDirectDrawSurface* target, int pen, int step, int count) {
        std::vector<int> digits;
        for (int i = 0; i < count; ++i)
            digits.push_back(InkHeight(target, pen + i * step + 3) - 1);
        return digits;
    }
};

TEST_F(DigitNumbers, PageNumberEndsAtItsX) {
    Sprite digits;
    ASSERT_EQ(digits.LoadStrip("digits.bmp", 10, 0), 1);
    ASSERT_EQ(digits.frameWidth, 80); // the whole strip: a step of 8
    IDirectDrawSurface* target = MakeTarget(800, 20);
    DrawPageNumber(digits, 12, 716, 0, target);
    // Two characters of 8 end at 716: they start at 700.
    EXPECT_EQ(InkSpan(target, 0).first, 700);
    EXPECT_EQ(InkSpan(target, 0).second, 715);
    EXPECT_EQ(DigitsFrom(target, 700, 8, 2), (std::vector<int>{1, 2}));
}

TEST_F(DigitNumbers, ZeroPaddedCentredAndRightAligned) {
    NumberSprite number;
    ASSERT_EQ(number.LoadStrip("digits.bmp", 10, 0), 1);
    number.DivideWidthByFrames();
    ASSERT_EQ(number.frameWidth, 8);
    number.spacing = 2; // step 10
    number.digits = 3;

    // "007" centred on 100: 3 * 10 / 2 = 15 to the left.
    IDirectDrawSurface* centred = MakeTarget(300, 20);
    number.align = NumberCentred;
    number.DrawNumber(7, 100, 0, centred);
    EXPECT_EQ(InkSpan(centred, 0).first, 85);
    EXPECT_EQ(DigitsFrom(centred, 85, 10, 3), (std::vector<int>{0, 0, 7}));

    // Right-aligned: the last character's left edge at x.
    IDirectDrawSurface* right = MakeTarget(300, 20);
    number.align = NumberLastAtX;
    number.digits = -1;
    number.DrawNumber(405, 200, 0, right);
    EXPECT_EQ(InkSpan(right, 0).first, 180);
    EXPECT_EQ(InkSpan(right, 0).second, 207);
    EXPECT_EQ(DigitsFrom(right, 180, 10, 3), (std::vector<int>{4, 0, 5}));

    // From the left, a minus sign takes a step and draws nothing.
    IDirectDrawSurface* left = MakeTarget(300, 20);
    number.align = NumberFromLeft;
    number.DrawNumber(-42, 50, 0, left);
    EXPECT_EQ(InkSpan(left, 0).first, 60);
    EXPECT_EQ(DigitsFrom(left, 60, 10, 2), (std::vector<int>{4, 2}));

    // A longer number than the padding keeps all its digits.
    IDirectDrawSurface* wide = MakeTarget(300, 20);
    number.digits = 2;
    number.DrawNumber(1234, 0, 0, wide);
    EXPECT_EQ(DigitsFrom(wide, 0, 10, 4), (std::vector<int>{1, 2, 3, 4}));
}

} // namespace
