#include "base/ptrlist.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<int> g_disposed;
std::vector<int> g_seenSizes;
SkyPtrList<int>* g_list = nullptr;

void Record(void* p) {
  g_disposed.push_back(*static_cast<int*>(p));
  g_seenSizes.push_back(g_list ? g_list->GetSize() : -1);
  delete static_cast<int*>(p);
}
}  // namespace

TEST(PtrList, InsertClampsAndDeleteShifts) {
  int a = 1, b = 2, c = 3, d = 4;
  SkyPtrList<int> list;
  EXPECT_EQ(list.Get(0), nullptr);
  list.Add(&b);
  list.Insert(100, &c);  // above the count appends
  list.Insert(-7, &a);   // negative inserts at the front
  list.Insert(1, &d);
  ASSERT_EQ(list.GetSize(), 4);
  EXPECT_EQ(list.Get(0), &a);
  EXPECT_EQ(list.Get(1), &d);
  EXPECT_EQ(list.Get(2), &b);
  EXPECT_EQ(list.Get(3), &c);
  EXPECT_EQ(list.Get(4), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Set(4, &a), nullptr);
  EXPECT_EQ(list.Find(&b), 2);

  list.Delete(1);
  list.Delete(9);
  ASSERT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list.Get(1), &b);
  list.Delete(2);
  EXPECT_EQ(list.Get(1), &b);
  EXPECT_EQ(list.GetSize(), 2);
}

TEST(PtrList, EmptyDisposesLastFirstAndSkipsNull) {
  SkyPtrList<int> list;
  list.Add(new int(1));
  list.Add(nullptr);
  list.Add(new int(3));
  g_disposed.clear();
  g_seenSizes.clear();
  g_list = &list;
  list.Empty(true, Record);
  g_list = nullptr;
  EXPECT_EQ(g_disposed, (std::vector<int>{3, 1}));
  EXPECT_EQ(g_seenSizes, (std::vector<int>{2, 0})) << "a deleter sees only earlier entries";
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(PtrList, DeleteWithDeleteOwnsTheItem) {
  SkyPtrList<int> list;
  list.Add(new int(5));
  list.Add(new int(6));
  list.Delete(0, true);  // destroyed with delete; the sanitizer build checks for leaks
  ASSERT_EQ(list.GetSize(), 1);
  EXPECT_EQ(*list.Get(0), 6);
  list.Empty(true);
}
