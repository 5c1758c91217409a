// One-line text fields: what typing, Backspace, Tab and Enter do, the limits
// of capacity and width, the click rules of selectable and plain fields, and
// which font a field is drawn in.
#include "text_test_support.h"

#include "ui/keys/key_queue.h"
#include "ui/text/text_field.h"

namespace {

constexpr int A = 30, B = 48, Two = 3, Minus = 12, Space = 57, Backspace = 14;

class TextFields : public texttest::TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        // Every glyph 6 wide: gap 0 (6 * 0.1), space 3.
        WriteBmp("white.bmp", texttest::FontPicture(std::vector<int>(94, 6), 10, texttest::White));
        WriteBmp("red.bmp", texttest::FontPicture(std::vector<int>(94, 6), 10, texttest::Red));
        ASSERT_EQ(normal_.Load("white.bmp"), 1);
        ASSERT_EQ(highlight_.Load("red.bmp"), 1);
        g_KeyQueue.Clear();
    }
    void TearDown() override {
        g_KeyQueue.Clear();
        TextTest::TearDown();
    }
    void PlaceField(TextField& field, int x, int y, int width) {
        field.SetCapacity(64);
        field.AttachFont(&normal_);
        field.AttachFont(&highlight_);
        field.SetOrigin(0, 0);
        field.SetRect(x, y, width, 20);
    }
    static void Type(std::initializer_list<int> events) {
        for (int event : events)
            g_KeyQueue.Push(event);
    }
    BitmapFont normal_, highlight_;
};

TEST_F(TextFields, TypingTheCharacterTable) {
    TextField field;
    PlaceField(field, 0, 0, 1000);
    field.selectable = 0;
    field.SetFocus(1);
    Type({A, A | KeyShifted, Two | KeyShifted, Two, Minus, Minus | KeyShifted, Space,
          39 | KeyShifted, 43, 53 | KeyShifted});
    EXPECT_EQ(field.ProcessKeys(), FieldKeyNone);
    // Minus types nothing, with or without Shift.
    EXPECT_STREQ(field.Text(), "aA@2 :\\?");
    EXPECT_EQ(field.length, 8);
    EXPECT_EQ(CharacterForKey(Minus), 0);
    EXPECT_EQ(CharacterForKey(41 | KeyShifted), '~');
    EXPECT_EQ(CharacterForKey(1), 0); // Escape
}

TEST_F(TextFields, CapacityAndWidthLimits) {
    TextField wide;
    PlaceField(wide, 0, 0, 10000);
    wide.SetFocus(1);
    for (int i = 0; i < 70; ++i)
        g_KeyQueue.Push(A);
    wide.ProcessKeys();
    // Capacity 64 takes 62 characters.
    EXPECT_EQ(wide.length, 62);
    EXPECT_EQ(std::string(wide.Text()), std::string(62, 'a'));

    // 52 pixels of 6-pixel characters: the text with the new one must stay
    // below 52, so 8 fit (8 * 6 = 48; a ninth would make 54).
    TextField narrow;
    PlaceField(narrow, 0, 0, 52);
    narrow.SetFocus(1);
    for (int i = 0; i < 20; ++i)
        g_KeyQueue.Push(B);
    narrow.ProcessKeys();
    EXPECT_EQ(narrow.length, 8);
    // A space is narrower (3): one more fits (48 + 3 = 51), a second does not.
    Type({Space, Space, Space});
    narrow.ProcessKeys();
    EXPECT_STREQ(narrow.Text(), "bbbbbbbb ");
}

TEST_F(TextFields, BackspaceTabAndEnter) {
    TextField field;
    PlaceField(field, 0, 0, 1000);
    field.SetFocus(1);
    Type({Backspace});
    EXPECT_EQ(field.ProcessKeys(), FieldKeyNone);
    EXPECT_STREQ(field.Text(), "");
    EXPECT_EQ(field.length, 0);

    Type({A, B, Backspace, Two});
    field.ProcessKeys();
    EXPECT_STREQ(field.Text(), "a2");

    // Tab ends the reading and keeps the focus; the keys after it wait.
    Type({FieldKeyTab, A});
    EXPECT_EQ(field.ProcessKeys(), FieldKeyTab);
    EXPECT_EQ(field.focused, 1);
    EXPECT_STREQ(field.Text(), "a2");
    EXPECT_EQ(field.ProcessKeys(), FieldKeyNone);
    EXPECT_STREQ(field.Text(), "a2a");

    // Enter ends the focus; an unfocused field takes nothing.
    Type({FieldKeyEnter | KeyShifted, B});
    EXPECT_EQ(field.ProcessKeys(), FieldKeyEnter);
    EXPECT_EQ(field.focused, 0);
    EXPECT_EQ(field.ProcessKeys(), FieldKeyNone);
    EXPECT_STREQ(field.Text(), "a2a");

    // A field that may not be edited takes nothing either.
    field.editable = 0;
    field.SetFocus(1);
    Type({A});
    EXPECT_EQ(field.ProcessKeys(), FieldKeyNone);
    EXPECT_STREQ(field.Text(), "a2a");
}

TEST_F(TextFields, FocusClearsKeysTypedElsewhereAndTextMustFit) {
    TextField field;
    PlaceField(field, 0, 0, 1000);
    Type({A, B});
    field.SetFocus(1); // was not focused: the waiting keys are dropped
    Type({Two});
    field.SetFocus(1); // already focused: nothing dropped
    field.ProcessKeys();
    EXPECT_STREQ(field.Text(), "2");

    TextField small;
    small.SetCapacity(8);
    small.SetText("1234567");
    EXPECT_STREQ(small.Text(), "1234567");
    small.SetText("12345678"); // not shorter than the capacity: refused
    EXPECT_STREQ(small.Text(), "1234567");
    EXPECT_EQ(small.length, 7);
    small.SetText("");
    EXPECT_EQ(small.length, 0);
}

TEST_F(TextFields, SelectableGroupClicks) {
    TextField first, second;
    PlaceField(first, 100, 50, 150);
    PlaceField(second, 100, 100, 150);
    auto clickAll = [&](int x, int y) {
        return std::make_pair(first.OnClick(x, y), second.OnClick(x, y));
    };
    // First click chooses, second starts editing, typing goes in.
    EXPECT_EQ(clickAll(120, 60), std::make_pair(0, 0));
    EXPECT_EQ(first.selected, 1);
    EXPECT_EQ(first.focused, 0);
    EXPECT_EQ(clickAll(120, 60), std::make_pair(1, 0));
    EXPECT_EQ(first.focused, 1);
    Type({A, B});
    first.ProcessKeys();
    EXPECT_STREQ(first.Text(), "ab");
    // Third click stops editing; the field stays chosen.
    EXPECT_EQ(clickAll(120, 60), std::make_pair(0, 0));
    EXPECT_EQ(first.focused, 0);
    EXPECT_EQ(first.selected, 1);
    // The right and bottom edges belong to the field (100 + 150, 100 + 20).
    EXPECT_EQ(clickAll(250, 120), std::make_pair(0, 0));
    EXPECT_EQ(first.selected, 0);
    EXPECT_EQ(second.selected, 1);
    // Outside everything: nothing stays chosen or focused.
    EXPECT_EQ(clickAll(251, 121), std::make_pair(0, 0));
    EXPECT_EQ(second.selected, 0);
}

TEST_F(TextFields, PlainFieldsFocusAtOnceAndClicksUseTheOrigin) {
    TextField field;
    PlaceField(field, 50, 282, 580);
    field.selectable = 0;
    field.SetOrigin(53, 18);
    EXPECT_EQ(field.OnClick(53 + 50, 18 + 282), 1);
    EXPECT_EQ(field.focused, 1);
    EXPECT_EQ(field.selected, 0);
    EXPECT_EQ(field.OnClick(50, 282), 0); // left of the field once the origin is added
    EXPECT_EQ(field.focused, 0);
}

TEST_F(TextFields, SelectedFieldIsDrawnInTheHighlightFont) {
    TextField field;
    PlaceField(field, 20, 5, 200);
    field.SetText("ab");
    IDirectDrawSurface* plain = MakeTarget(300, 40);
    field.Draw(plain);
    EXPECT_EQ(PixelAt(plain, 20, 8), texttest::White);
    EXPECT_EQ(InkSpan(plain, 8).second, 31);

    field.selected = 1;
    IDirectDrawSurface* chosen = MakeTarget(300, 40);
    field.Draw(chosen);
    EXPECT_EQ(PixelAt(chosen, 20, 8), texttest::Red);

    // With one font the selected field keeps it.
    TextField single;
    single.SetCapacity(64);
    single.AttachFont(&normal_);
    single.SetRect(0, 0, 200, 20);
    single.SetText("a");
    single.selected = 1;
    IDirectDrawSurface* one = MakeTarget(300, 40);
    single.Draw(one);
    EXPECT_EQ(PixelAt(one, 0, 3), texttest::White);
}

TEST_F(TextFields, DrawingClipsAtTheFieldsRightEdge) {
    TextField field;
    PlaceField(field, 10, 0, 30);
    field.SetText("aaaaaaaaaa");
    IDirectDrawSurface* target = MakeTarget(300, 20);
    field.Draw(target);
    // 6-pixel characters from 10, clipped at 40: pen + 6 must stay below 40, so four.
    EXPECT_EQ(InkSpan(target, 3).first, 10);
    EXPECT_EQ(InkSpan(target, 3).second, 33);
}

} // namespace
