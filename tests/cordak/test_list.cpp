#include "test_object_helpers.h"

#include <cordak/oblist.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// The list's ids from head to tail, checked against the walk from the tail.
std::vector<int> Ids(const CUObList& list)
{
    std::vector<int> forward, backward;
    for (CUNode* n = list.GetHeadNode(); n; n = n->GetNext())
        forward.push_back(static_cast<TestItem*>(n->GetObject())->m_id);
    for (CUNode* n = list.GetTailNode(); n; n = n->GetPrev())
        backward.insert(backward.begin(), static_cast<TestItem*>(n->GetObject())->m_id);
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(static_cast<int>(forward.size()), list.GetCount());
    return forward;
}

struct Items
{
    explicit Items(int n)
    {
        for (int i = 0; i < n; ++i)
            all.push_back(std::make_unique<TestItem>(i, "", 0));
    }
    TestItem* operator[](int i) { return all[i].get(); }
    std::vector<std::unique_ptr<TestItem>> all;
};

}  // namespace

TEST(ObList, AddingAndInserting)
{
    Items it(10);
    CUObList list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHead(), nullptr);
    list.AddTail(it[1]);
    list.AddTail(it[2]);
    list.AddHead(it[0]);
    EXPECT_EQ(Ids(list), std::vector<int>({0, 1, 2}));

    list.InsertBefore(it[3], list.FindIndex(1));
    list.InsertAfter(it[4], list.GetTailNode());
    list.InsertBefore(it[5], static_cast<CUNode*>(nullptr));
    list.InsertAfter(it[6], static_cast<CUObject*>(it[0]));
    list.InsertBefore(it[7], static_cast<CUObject*>(it[9]));  // 9 absent: at the tail
    list.InsertAt(it[8], 0);
    list.InsertAt(it[9], 100);
    EXPECT_EQ(Ids(list), std::vector<int>({8, 5, 0, 6, 3, 1, 2, 4, 7, 9}));

    EXPECT_EQ(list.GetNext(it[0]), it[6]);
    EXPECT_EQ(list.GetPrev(it[0]), it[5]);
    EXPECT_EQ(list.GetPrev(it[8]), nullptr);
    EXPECT_EQ(list.GetNext(it[9]), nullptr);
    EXPECT_EQ(list.GetIndex(it[3]), 4);
    EXPECT_EQ(list.GetByIndex(4), it[3]);
    EXPECT_EQ(list.GetByIndex(10), nullptr);
    EXPECT_EQ(list.GetByIndex(-1), nullptr);
    TestItem stranger(77);
    EXPECT_EQ(list.GetIndex(&stranger), -1);
    EXPECT_EQ(list.Find(it[3], list.FindIndex(5)), nullptr);
}

TEST(ObList, AddingWholeListsKeepsTheirOrder)
{
    Items it(6);
    CUObList a, b;
    a.AddTail(it[0]);
    a.AddTail(it[1]);
    b.AddTail(it[2]);
    b.AddTail(it[3]);
    a.AddHead(&b);
    EXPECT_EQ(Ids(a), std::vector<int>({2, 3, 0, 1}));
    a.AddTail(&b);
    EXPECT_EQ(Ids(a), std::vector<int>({2, 3, 0, 1, 2, 3}));
    EXPECT_EQ(Ids(b), std::vector<int>({2, 3}));
    b.AddTail(&b);
    EXPECT_EQ(Ids(b), std::vector<int>({2, 3, 2, 3}));
    b.AddHead(&b);
    EXPECT_EQ(Ids(b), std::vector<int>({2, 3, 2, 3, 2, 3, 2, 3}));
}

TEST(ObList, RemovingKeepsHeadAndTailConsistent)
{
    Items it(4);
    CUObList list;
    EXPECT_EQ(list.RemoveHead(), nullptr);
    EXPECT_EQ(list.RemoveTail(), nullptr);
    list.AddTail(it[0]);
    list.AddTail(it[1]);
    list.AddTail(it[2]);
    EXPECT_EQ(list.RemoveTail(), it[2]);
    EXPECT_EQ(list.RemoveTail(), it[1]);
    EXPECT_EQ(list.GetHeadNode(), list.GetTailNode());
    EXPECT_EQ(list.GetHead(), it[0]);
    EXPECT_EQ(list.RemoveHead(), it[0]);
    EXPECT_EQ(list.GetHeadNode(), nullptr);
    EXPECT_EQ(list.GetTailNode(), nullptr);

    for (int i = 0; i < 4; ++i)
        list.AddTail(it[i]);
    list.Remove(1);                          // by index
    list.Remove(static_cast<CUObject*>(it[3]));  // by object: the tail
    list.Remove(7);                          // absent: nothing
    TestItem stranger(9);
    list.Remove(static_cast<CUObject*>(&stranger));
    EXPECT_EQ(Ids(list), std::vector<int>({0, 2}));
    list.Remove(list.GetHeadNode());
    EXPECT_EQ(Ids(list), std::vector<int>({2}));
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetTail(), nullptr);
}

TEST(ObList, DeletingAndOwnership)
{
    int deaths = 0;
    {
        CUObList owning(1);
        TestItem* kept = new TestItem(1, "", 0, &deaths);
        owning.AddTail(kept);
        owning.AddTail(new TestItem(2, "", 0, &deaths));
        owning.AddTail(new TestItem(3, "", 0, &deaths));
        owning.AddTail(new TestItem(4, "", 0, &deaths));
        owning.AddTail(static_cast<CUObject*>(nullptr));
        owning.Delete(1);
        EXPECT_EQ(deaths, 1);
        owning.Delete(owning.GetTailNode());  // the null entry
        EXPECT_EQ(deaths, 1);
        owning.Delete(static_cast<CUObject*>(owning.GetTail()));
        EXPECT_EQ(deaths, 2);
        owning.Remove(static_cast<CUObject*>(kept));
        delete kept;
        EXPECT_EQ(deaths, 3);
        EXPECT_EQ(owning.GetCount(), 1);
    }
    EXPECT_EQ(deaths, 4);  // the last one went with the list

    TestItem local(5, "", 0, &deaths);
    {
        CUObList referring;
        referring.AddTail(&local);
    }
    EXPECT_EQ(deaths, 4);
}

TEST(ObList, LookupByMemberAndSwap)
{
    TestItem a(10, "alpha"), b(20, "beta"), c(-1, "Beta");
    CUObList list;
    list.AddTail(static_cast<CUObject*>(nullptr));
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddTail(&c);
    CUNode* node = nullptr;
    EXPECT_EQ(list.GetByString(TestItem::NameOffset(), "Beta", &node), &c);
    EXPECT_EQ(node, list.GetTailNode());
    EXPECT_EQ(list.GetByString(TestItem::NameOffset(), "gamma", &node), nullptr);
    EXPECT_EQ(list.GetByValue(TestItem::IdOffset(), 20, 4, &node), &b);
    EXPECT_EQ(list.GetByValue(TestItem::IdOffset(), -1, 4), &c);
    // One byte of 0x114 is 0x14 = 20.
    EXPECT_EQ(list.GetByValue(TestItem::IdOffset(), 0x114, 1), &b);
    EXPECT_EQ(list.GetByValue(TestItem::IdOffset(), 20, 0), nullptr);
    EXPECT_EQ(list.GetByValue(TestItem::IdOffset(), 20, 9), nullptr);

    list.SwapNodes(list.FindIndex(1), list.FindIndex(3));
    EXPECT_EQ(list.GetByIndex(1), &c);
    EXPECT_EQ(list.GetByIndex(3), &a);
}

TEST(ObList, SortAscendingAndDescending)
{
    const int depths[] = {3, -1, 9, 3, 0, 27, -8, 4};
    std::vector<std::unique_ptr<TestItem>> items;
    CUObList list;
    for (int d : depths) {
        items.push_back(std::make_unique<TestItem>(d, "", d));
        list.AddTail(items.back().get());
    }
    CUNode* head = list.GetHeadNode();
    list.Sort(1);
    EXPECT_EQ(Ids(list), std::vector<int>({-8, -1, 0, 3, 3, 4, 9, 27}));
    EXPECT_EQ(list.GetHeadNode(), head);  // objects move, nodes stay
    list.Sort(0);
    EXPECT_EQ(Ids(list), std::vector<int>({27, 9, 4, 3, 3, 0, -1, -8}));
}

TEST(ObList, WriteCountThenObjectsHeadToTail)
{
    TestItem a(1, "x"), b(2, "y");
    CUObList list;
    list.AddTail(&b);
    list.AddHead(&a);
    CUBuffer buffer;
    buffer << list;
    EXPECT_EQ(buffer.GetSize(), 4 + 2 * (4 + 2));
    buffer.SeekToBegin();
    int count = 0;
    TestItem first(0), second(0);
    buffer >> count >> first >> second;
    EXPECT_EQ(count, 2);
    EXPECT_EQ(first.m_id, 1);
    EXPECT_EQ(second.m_id, 2);
}
