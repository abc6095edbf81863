#include "test_object_helpers.h"

#include <cordak/obmap.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

TEST(ObMap, BucketCountsFromTheExpectedCount)
{
    EXPECT_EQ(CUObMap(20, 50, 0).GetBucketCount(), 17);
    EXPECT_EQ(CUObMap(0, 1000, 0).GetBucketCount(), 61);  // 1000 >> 4 = 62
    EXPECT_EQ(CUObMap(0, 0, 0).GetBucketCount(), 17);
    EXPECT_EQ(CUObMap(0, -5, 0).GetBucketCount(), 17);

    CUObMap map(0, 0, 0);
    EXPECT_EQ(map.GetBucketSize(16 * 223), 223);
    EXPECT_EQ(map.GetBucketSize(16 * 306), 223);  // between 223 and 307
    EXPECT_EQ(map.GetBucketSize(16 * 307), 307);
    EXPECT_EQ(map.GetBucketSize(16 * 2000003), 2000003);
    EXPECT_EQ(map.GetBucketSize(0x7FFFFFFF), 2000003);
    EXPECT_EQ(map.GetBucketAt(17), nullptr);
    EXPECT_EQ(map.GetBucketAt(-1), nullptr);
    EXPECT_NE(map.GetBucketAt(16), nullptr);
}

TEST(ObMap, Hashes)
{
    CUObMap map(0, 0, 0);
    EXPECT_EQ(map.HashKey(0x12345UL), 0x1234UL);
    EXPECT_EQ(map.HashKey(static_cast<unsigned long>(static_cast<unsigned>(-1))), 0x0FFFFFFFUL);
    EXPECT_EQ(map.HashKey(""), 0UL);
    EXPECT_EQ(map.HashKey("ab"), 97UL * 33 + 98);
    // Bytes from 0x80 count as negative.
    EXPECT_EQ(map.HashKey("\xE9"), 0xFFFFFFE9UL);
    // Integer keys spread by key >> 4: 16 neighbours share a bucket.
    EXPECT_EQ(map.GetBucket(32), map.GetBucket(47));
    EXPECT_NE(map.GetBucket(32), map.GetBucket(48));
    EXPECT_EQ(map.GetBucket(-1), map.GetBucketAt(0x0FFFFFFF % 17));
}

TEST(ObMap, IntegerKeys)
{
    std::vector<std::unique_ptr<TestItem>> items;
    CUObMap map(TestItem::IdOffset(), 50, 0);
    for (int id = -100; id < 400; id += 3) {
        items.push_back(std::make_unique<TestItem>(id));
        map.SetAt(id, items.back().get());
    }
    EXPECT_EQ(map.GetCount(), static_cast<int>(items.size()));
    for (auto& item : items)
        EXPECT_EQ(map.GetAt(item->m_id), item.get());
    EXPECT_EQ(map.GetAt(-99), nullptr);
    EXPECT_GT(map.GetMaxBucketSize(), 0);

    // Replacement: the reference changes, the count does not, nothing is freed.
    int deaths = 0;
    TestItem* before = items[5].get();
    TestItem replacement(before->m_id, "", 0, &deaths);
    map.SetAt(before->m_id, &replacement);
    EXPECT_EQ(map.GetCount(), static_cast<int>(items.size()));
    EXPECT_EQ(map.GetAt(before->m_id), &replacement);

    map.Remove(before->m_id);
    EXPECT_EQ(map.GetAt(before->m_id), nullptr);
    EXPECT_EQ(map.GetCount(), static_cast<int>(items.size()) - 1);
    map.Remove(before->m_id);  // absent: nothing
    EXPECT_EQ(map.GetCount(), static_cast<int>(items.size()) - 1);
    EXPECT_EQ(deaths, 0);

    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(map.GetMaxBucketSize(), 0);
}

TEST(ObMap, StringKeys)
{
    CUObMap map(TestItem::NameOffset(), 100, 0);
    TestItem cube(1, "Cube"), cube2(2, "cube"), star(3, "Star");
    map.SetAt("Cube", &cube);
    map.SetAt("cube", &cube2);
    map.SetAt("Star", &star);
    EXPECT_EQ(map.GetCount(), 3);
    EXPECT_EQ(map.GetAt("Cube"), &cube);
    EXPECT_EQ(map.GetAt("cube"), &cube2);
    EXPECT_EQ(map.GetAt("Sphere"), nullptr);
    EXPECT_EQ(map.GetBucket("Star")->GetByString(TestItem::NameOffset(), "Star"), &star);

    TestItem other(4, "Star");
    map.SetAt("Star", &other);
    EXPECT_EQ(map.GetCount(), 3);
    EXPECT_EQ(map.GetAt("Star"), &other);
    map.Remove("Cube");
    EXPECT_EQ(map.GetAt("Cube"), nullptr);
    EXPECT_EQ(map.GetCount(), 2);
}

TEST(ObMap, DeletingAndOwnership)
{
    int deaths = 0;
    {
        CUObMap owning(TestItem::IdOffset(), 10, 1);
        for (int id = 0; id < 40; ++id)
            owning.SetAt(id, new TestItem(id, "", 0, &deaths));
        owning.Delete(7);
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(owning.GetCount(), 39);
        owning.Delete(7);
        EXPECT_EQ(deaths, 1);
    }
    EXPECT_EQ(deaths, 40);

    TestItem kept(1, "k", 0, &deaths);
    {
        CUObMap referring(TestItem::NameOffset(), 10, 0);
        referring.SetAt("k", &kept);
    }
    EXPECT_EQ(deaths, 40);
    {
        CUObMap referring(TestItem::NameOffset(), 10, 0);
        referring.SetAt("k", new TestItem(2, "k", 0, &deaths));
        referring.Delete("k");
        EXPECT_EQ(deaths, 41);
        EXPECT_TRUE(referring.IsEmpty());
    }
}

TEST(ObMap, WriteCountThenBucketsInOrder)
{
    std::vector<std::unique_ptr<TestItem>> items;
    CUObMap map(TestItem::IdOffset(), 50, 0);
    for (int id : {100, 5, 300, 17 * 16}) {
        items.push_back(std::make_unique<TestItem>(id, "n"));
        map.SetAt(id, items.back().get());
    }
    CUBuffer b;
    b << map;
    b.SeekToBegin();
    int count = 0;
    b >> count;
    ASSERT_EQ(count, 4);
    std::vector<int> ids;
    for (int i = 0; i < count; ++i) {
        TestItem back(0);
        b >> back;
        ids.push_back(back.m_id);
    }
    // Buckets: 100 -> 6, 5 -> 0, 300 -> 1, 272 -> 0 (after 5).
    EXPECT_EQ(ids, std::vector<int>({5, 272, 300, 100}));
}
