#include <gtest/gtest.h>

#include <vector>

#include "editor/modifiedlist.h"
#include "support/recorderservices.h"

namespace {

TEST(ModifiedList, MarksOnceInInsertionOrder) {
  TModifiedList list;
  int changes = 0;
  list.OnChange = [&](TModifiedList&) { ++changes; };
  for (int32_t offset : {7, 3, 7, 1 << 29, -4, 3, 100000})
    list.AddOffset(offset);
  EXPECT_EQ(changes, 5) << "an offset already marked fires nothing";
  EXPECT_EQ(list.Count(), 5);
  for (int32_t offset : {7, 3, 1 << 29, -4, 100000})
    EXPECT_TRUE(list.Contains(offset)) << offset;
  for (int32_t offset : {0, 8, 99999, -5})
    EXPECT_FALSE(list.Contains(offset)) << offset;
  EXPECT_EQ(list.IndexOfOffset(1 << 29), 2);
  EXPECT_EQ(list.IndexOfOffset(5), -1);

  list.IterPos = -1;
  std::vector<int32_t> seen;
  int32_t offset;
  while (list.NextOffset(offset))
    seen.push_back(offset);
  EXPECT_EQ(seen, (std::vector<int32_t>{7, 3, 1 << 29, -4, 100000}));
  EXPECT_FALSE(list.NextOffset(offset));

  list.Clear();
  EXPECT_EQ(changes, 6);
  EXPECT_FALSE(list.Contains(7));
  list.AddOffset(7);
  EXPECT_EQ(list.Count(), 1);
}

TEST(ModifiedList, IsEmptyTellsTheUserWhenAsked) {
  TRecorderServices rec;
  TServicesScope scope(rec);
  TModifiedList list;
  EXPECT_TRUE(list.IsEmpty(false));
  EXPECT_TRUE(rec.Boxes.empty());
  EXPECT_TRUE(list.IsEmpty(true));
  EXPECT_EQ(rec.Boxes, (std::vector<std::string>{"Information|No modified data"}));
  list.AddOffset(0);
  EXPECT_FALSE(list.IsEmpty(true));
  EXPECT_EQ(rec.Boxes.size(), 1u);
  list.IterPos = -7; // a stray cursor restarts instead of reading outside the list
  int32_t offset = -1;
  EXPECT_TRUE(list.NextOffset(offset));
  EXPECT_EQ(offset, 0);
}

} // namespace
