// The toolkit's growable list: capacity 1, doubling when full, removal that
// closes the gap and keeps a walk's cursor on the right element.
#include "ui/pictures/pointer_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PointerList, StartsWithRoomForOneAndDoublesWhenFull) {
    PointerList<int> list;
    int values[9] = {};
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 1);
    const int expectedCapacity[9] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(list.Add(&values[i]), i + 1);
        EXPECT_EQ(list.Capacity(), expectedCapacity[i]) << "after " << i + 1 << " elements";
    }
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(list[i], &values[i]);
    EXPECT_EQ(list.At(9), nullptr);
    EXPECT_EQ(list.At(-1), nullptr);
}

TEST(PointerList, RemovalShiftsTheTailDownAndKeepsTheCursorInStep) {
    int values[5] = {};
    PointerList<int> list;
    for (int& value : values)
        list.Add(&value);

    // Removing the element under the cursor leaves the cursor before the next one.
    list.cursor = 2;
    EXPECT_EQ(list.Remove(&values[2]), 1);
    EXPECT_EQ(list.cursor, 1);
    std::vector<int*> left(list.begin(), list.end());
    EXPECT_EQ(left, (std::vector<int*>{&values[0], &values[1], &values[3], &values[4]}));

    // An element before the cursor moves it back; one after leaves it alone.
    list.cursor = 2; // on values[3]
    list.RemoveAt(0);
    EXPECT_EQ(list.cursor, 1);
    EXPECT_EQ(list[list.cursor], &values[3]);
    list.RemoveAt(2); // values[4], after the cursor
    EXPECT_EQ(list.cursor, 1);
    EXPECT_EQ(list.Count(), 2);

    // Not there, or out of range: nothing changes.
    EXPECT_EQ(list.Remove(&values[4]), 0);
    list.RemoveAt(7);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.cursor, 1);
}

TEST(PointerList, AWalkThatRemovesAsItGoesVisitsEveryElement) {
    int values[6] = {};
    PointerList<int> list;
    for (int& value : values)
        list.Add(&value);
    std::vector<int*> visited;
    for (list.cursor = 0; list.cursor < list.Count(); ++list.cursor) {
        int* item = list[list.cursor];
        visited.push_back(item);
        if ((item - values) % 2 == 0) list.Remove(item);
    }
    EXPECT_EQ(visited.size(), 6u);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0], &values[1]);
    EXPECT_EQ(list[2], &values[5]);
}

} // namespace
