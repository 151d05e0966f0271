#include "toolchain/tclist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Elements(TCList<std::string>& list) {
  std::vector<std::string> out;
  list.UpdateCount();
  for (int32_t i = 0; i < list.Count; ++i) out.push_back(list.Item(i)->Value);
  return out;
}

TEST(List, ItemClampsToTheLastNode) {
  TCList<std::string> list;
  EXPECT_EQ(list.Item(0), static_cast<TCListNode<std::string>*>(&list));
  list.Append("a");
  list.Append("b");
  list.Append("c");
  EXPECT_EQ(list.Item(1)->Value, "b");
  EXPECT_EQ(list.Item(3), list.Last());
  EXPECT_EQ(list.Item(8), list.Last());
  EXPECT_EQ(list.Item(-1), list.Last());
  EXPECT_EQ(list.Last()->Value, "c");
  EXPECT_EQ(list.Last()->Prev->Prev, static_cast<TCListNode<std::string>*>(&list));
  EXPECT_EQ(list.CountNodes(), 3);
}

TEST(List, AddFirstKeepsElementZeroInTheListObject) {
  TCList<std::string> list;
  list.AddFirst("x");
  EXPECT_EQ(list.Count, 1);
  EXPECT_EQ(list.First()->Next, nullptr);
  list.AddFirst("y");
  EXPECT_EQ(Elements(list), (std::vector<std::string>{"y", "x"}));
  list.Clear();
  list.Append("a");
  list.Append("b");
  list.AddFirst("v");
  EXPECT_EQ(Elements(list), (std::vector<std::string>{"v", "a", "b"}));
  // Walking the links gives the same order as indexing.
  std::vector<std::string> walked;
  for (TCListNode<std::string>* node = &list; node != nullptr; node = node->Next) {
    walked.push_back(node->Value);
  }
  EXPECT_EQ(walked, Elements(list));
}

TEST(List, ClearKeepsTheListObjectValue) {
  TCList<std::string> list;
  list.Append("old");
  list.Append("more");
  list.Clear();
  EXPECT_EQ(list.Count, 0);
  EXPECT_EQ(list.First()->Next, nullptr);
  EXPECT_EQ(list.Item(0)->Value, "old");
  list.Append("new");
  EXPECT_EQ(Elements(list), (std::vector<std::string>{"new"}));
}

TEST(List, AssignAndCopiesAreDeep) {
  TCList<std::string> source;
  source.Append("a");
  source.Append("b");
  TCList<std::string> copy;
  copy.Append("z");
  copy.Assign(source);
  source.Item(1)->Value = "changed";
  EXPECT_EQ(Elements(copy), (std::vector<std::string>{"a", "b"}));
  TCList<std::string> empty;
  copy.Assign(empty);
  EXPECT_EQ(copy.Count, 0);
  TCList<std::string> constructed(source);
  EXPECT_EQ(Elements(constructed), Elements(source));
  EXPECT_NE(constructed.Item(1), source.Item(1));
}

}  // namespace
