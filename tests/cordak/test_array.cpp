#include "test_object_helpers.h"

#include <cordak/obarray.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(ObArray, GrowsByFourThenByAnEighth)
{
    CUObArray a(0, 0);
    std::vector<int> capacities;
    TestItem item(1);
    for (int i = 0; i < 60; ++i) {
        a.Add(&item);
        if (capacities.empty() || capacities.back() != a.GetCapacity())
            capacities.push_back(a.GetCapacity());
    }
    // 1, 5, 9, ... while the count is below 40, then count / 8 at a time.
    EXPECT_EQ(capacities, std::vector<int>({1, 5, 9, 13, 17, 21, 25, 29, 33, 37, 41, 46, 51, 57, 64}));
    EXPECT_EQ(a.GetCount(), 60);

    CUObArray six;
    for (int i = 0; i < 6; ++i)
        six.Add(&item);
    EXPECT_EQ(six.GetCount(), 6);
    EXPECT_EQ(six.GetCapacity(), 9);

    // Shrinking keeps the slots; growing again within them zeroes them.
    six.SetSize(2);
    EXPECT_EQ(six.GetCapacity(), 9);
    six.SetSize(4);
    EXPECT_EQ(six.GetAt(2), nullptr);
    EXPECT_EQ(six.GetAt(3), nullptr);
    six.RemoveAll();
    EXPECT_EQ(six.GetCapacity(), 0);

    // Growth is capped at 1024 slots a step.
    CUObArray big(20000);
    big.SetSize(20001);
    EXPECT_EQ(big.GetCapacity(), 20000 + 1024);
}

TEST(ObArray, IndexingOutsideIsSafe)
{
    TestItem x(1), y(2);
    CUObArray a;
    a.SetAt(10, &x);
    EXPECT_EQ(a.GetCount(), 11);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(a[i], nullptr);
    EXPECT_EQ(a[10], &x);
    EXPECT_EQ(a.GetAt(-1), nullptr);
    EXPECT_EQ(a.GetAt(11), nullptr);

    a.SetAt(-3, &y);
    a.Swap(0, 50);
    a.RemoveAt(20, 2);
    a.DeleteAt(-1, 1);
    EXPECT_EQ(a.GetCount(), 11);
    EXPECT_EQ(a[10], &x);
    a.RemoveAt(9, 100);  // cut to the end
    EXPECT_EQ(a.GetCount(), 9);
}

TEST(ObArray, InsertRemoveDelete)
{
    int deaths = 0;
    CUObArray a(0, 1);
    std::vector<TestItem*> items;
    for (int i = 0; i < 10; ++i) {
        items.push_back(new TestItem(i, "", 0, &deaths));
        a.Add(items.back());
    }
    a.DeleteAt(2, 3);
    EXPECT_EQ(deaths, 3);
    EXPECT_EQ(a.GetCount(), 7);
    EXPECT_EQ(a[2], items[5]);

    TestItem extra(99);
    a.InsertAt(1, &extra, 2);
    EXPECT_EQ(a.GetCount(), 9);
    EXPECT_EQ(a[0], items[0]);
    EXPECT_EQ(a[1], &extra);
    EXPECT_EQ(a[2], &extra);
    EXPECT_EQ(a[3], items[1]);
    a.RemoveAt(1, 2);  // not deleted
    EXPECT_EQ(a[1], items[1]);

    a.InsertAt(12, &extra, 2);
    EXPECT_EQ(a.GetCount(), 14);
    EXPECT_EQ(a[11], nullptr);
    EXPECT_EQ(a[12], &extra);
    EXPECT_EQ(a[13], &extra);
    a.RemoveAt(7, 7);

    // Inserting an array into itself doubles it in order.
    CUObArray refs;
    refs.Add(items[0]);
    refs.Add(items[1]);
    refs.InsertAt(1, &refs);
    ASSERT_EQ(refs.GetCount(), 4);
    EXPECT_EQ(refs[0], items[0]);
    EXPECT_EQ(refs[1], items[0]);
    EXPECT_EQ(refs[2], items[1]);
    EXPECT_EQ(refs[3], items[1]);
    refs.Add(refs);
    EXPECT_EQ(refs.GetCount(), 8);
    EXPECT_EQ(refs.Find(items[1]), 2);
    refs.RemoveAll();
    EXPECT_EQ(deaths, 3);
}

TEST(ObArray, OwningArrayDeletesOnDestruction)
{
    int deaths = 0;
    {
        CUObArray owning(0, 1);
        owning.Add(new TestItem(1, "", 0, &deaths));
        owning.Add(nullptr);
        owning.Add(new TestItem(2, "", 0, &deaths));
    }
    EXPECT_EQ(deaths, 2);
    TestItem kept(3, "", 0, &deaths);
    {
        CUObArray referring(0, 0);
        referring.Add(&kept);
    }
    EXPECT_EQ(deaths, 2);
}

TEST(ObArray, SortAscendingAndDescending)
{
    const int depths[] = {5, -3, 12, 0, 5, 7, 7, -20, 100, 1, 1, 42, -3, 8};
    std::vector<std::unique_ptr<TestItem>> items;
    CUObArray a;
    for (int d : depths) {
        items.push_back(std::make_unique<TestItem>(0, "", d));
        a.Add(items.back().get());
    }
    a.Sort(1);
    for (int i = 1; i < a.GetCount(); ++i)
        EXPECT_LE(static_cast<TestItem*>(a[i - 1])->m_depth, static_cast<TestItem*>(a[i])->m_depth);
    EXPECT_EQ(static_cast<TestItem*>(a[0])->m_depth, -20);
    a.Sort(0);
    for (int i = 1; i < a.GetCount(); ++i)
        EXPECT_GE(static_cast<TestItem*>(a[i - 1])->m_depth, static_cast<TestItem*>(a[i])->m_depth);
    EXPECT_EQ(static_cast<TestItem*>(a[a.GetCount() - 1])->m_depth, -20);
    EXPECT_EQ(a.GetCount(), static_cast<int>(std::size(depths)));

    CUObArray empty;
    empty.Sort(1);
    EXPECT_EQ(empty.GetCount(), 0);
}

// Order operators that contradict each other must not walk out of the array.
class Contrary : public CUObject
{
public:
    int operator<(const CUObject&) override { return 1; }
    int operator>(const CUObject&) override { return 1; }
};

TEST(ObArray, SortWithAContradictoryOrderStaysInside)
{
    std::vector<std::unique_ptr<Contrary>> items;
    CUObArray a;
    for (int i = 0; i < 33; ++i) {
        items.push_back(std::make_unique<Contrary>());
        a.Add(items.back().get());
    }
    a.Sort(1);
    a.Sort(0);
    EXPECT_EQ(a.GetCount(), 33);
    for (auto& item : items)
        EXPECT_NE(a.Find(item.get()), -1);
}

TEST(ObArray, WriteCountThenElements)
{
    TestItem one(1, "a"), two(2, "bc");
    CUObArray a;
    a.Add(&one);
    a.Add(nullptr);  // skipped, so the count matches what follows
    a.Add(&two);
    CUBuffer b;
    b << a;
    b.SeekToBegin();
    int count = 0;
    b >> count;
    ASSERT_EQ(count, 2);
    TestItem x(0), y(0);
    b >> x >> y;
    EXPECT_EQ(x.m_id, 1);
    EXPECT_STREQ(static_cast<char const*>(y.m_name), "bc");
    EXPECT_TRUE(b.IsEOF());
}
