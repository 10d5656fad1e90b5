// The start page's portable rules: the entry count and the folder choice.
#include "app/portable/start_page_model.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The reader's rule: elements with text, and empty ones, make entries.
TEST(CountProfileEntries, CountsAsTheReaderListsAndRefusesWhatItRefuses) {
  const struct {
    std::string bytes;
    long count;
  } cases[] = {
      {"<?xml version=\"1.0\"?>\r\n<profile><P><A>1</A><B/><C></C><D> </D></P></profile>", 3},
      {"<r>t<a x=\"1>2\" y='/'>v</a></r>", 2},
      {"<r><!-- <x/> --><a><![CDATA[t]]></a></r>", 0},
      {std::string("\xFF\xFE<\0r\0>\0<\0a\0/\0>\0<\0/\0r\0>\0", 24), 1},
      {"<r><a>1</a>", -1},
      {"<!DOCTYPE r><r/>", -1},
      {"</r>", -1},
      {"<r/><s/>", -1},
      {"<r><a", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(CountProfileEntries(c.bytes), c.count) << c.bytes;
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += "<a>";
  EXPECT_EQ(CountProfileEntries(deep), -1);
}

TEST(ChooseMach3Folder, StoredFolderFirstThenCMach3ThenTheProfilesFolders) {
  const struct {
    std::wstring stored;
    std::set<std::wstring> holding;
    std::wstring chosen;
  } cases[] = {
      {L"D:\\M", {L"D:\\M", L"C:\\Mach3"}, L"D:\\M"},
      {L"D:\\M", {L"C:\\Mach3", L"E:\\Mach3"}, L"C:\\Mach3"},
      {L"D:\\M", {L"E:\\Mach3"}, L"E:\\Mach3"},
      {L"D:\\M", {}, L"D:\\M"},
      {L"", {}, L"C:\\Mach3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseMach3Folder(c.stored, {L"", L"Mill.xml", L"E:\\Mach3\\Mill.xml"},
                                [&c](const std::wstring& folder) { return c.holding.count(folder) > 0; }),
              c.chosen);
  }
}

}  // namespace
