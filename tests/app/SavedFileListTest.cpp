#include "app/SavedFileList.h"

#include <gtest/gtest.h>

#include "TempDir.h"

namespace dkscr {
namespace {

using namespace std::string_literals;

TFileListEntry Entry(int32_t state, std::vector<std::u16string> texts, std::u16string caption = {}) {
  TFileListEntry e;
  e.State = state;
  e.Caption = std::move(caption);
  e.SubItems = std::move(texts);
  return e;
}

// A text field: byte count, then UTF-16LE.
std::string Text(std::u16string_view text) {
  std::string out{static_cast<char>(text.size() * 2 & 0xFF), static_cast<char>(text.size() >> 7)};
  for (char16_t u : text) out += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  return out;
}

TFileList SampleList() {
  TFileList list;
  list.Add(Entry(kStateNew, {u"x.ppt", u"/a/x.ppt", u"1234", u"PPT", u"/out/x.txt", u""}));
  list.Add(Entry(kStateConverted, {u"y.pptx", u"/a/y.pptx", u"99", u"PPTX", u"/out/y.txt",
                                   u"Convert successfully"}));
  // Characters no 8-bit code page holds, a pair outside the BMP and an escaped raw byte.
  list.Add(Entry(kStateFailed, {u"\u4E2D\u6587\U0001F600.ppt", std::u16string(u"/") + char16_t{0xDCE9} + u"/\u4E2D.ppt", u"0",
                                u"DOC", u"", u"Unsupported"}, u"cap"));
  list.Add(Entry(-2, {}));  // no column texts at all, an unknown state kept as it is
  return list;
}

TEST(SavedFileList, EmptyListIsFiveBytesAndLoadsEmpty) {
  EXPECT_EQ(SerializeFileList(TFileList()), "LFW\0\0"s);
  TFileList list = SampleList();
  const auto r = ParseFileList("LFW\0\0"s, list);
  EXPECT_EQ(r.Status, TFileListLoadStatus::Loaded);
  EXPECT_EQ(list.Count(), 0u);
}

TEST(SavedFileList, OneNewEntryByteLayout) {
  TFileList list;
  list.Add(Entry(kStateNew, {u"x.ppt", u"/a/x.ppt", u"10", u"PPT", u"/out/x.txt", u""}));
  EXPECT_EQ(SerializeFileList(list),
            "LFW\x01\x00"s + "\x06\x00"s + "\x00\x00\x00\x00"s + "\x00\x00"s + Text(u"x.ppt") +
                Text(u"/a/x.ppt") + Text(u"10") + Text(u"PPT") + Text(u"/out/x.txt") +
                "\x00\x00"s);
}

TEST(SavedFileList, StatesCaptionsAndEveryCharacterSurviveAFileRoundTrip) {
  test::TempDir dir;
  const std::u16string path = dir.Wide() + u"Deckscribe.job";
  const TFileList saved = SampleList();
  const auto w = SaveFileList(saved, path);
  ASSERT_TRUE(w.Ok());
  EXPECT_EQ(w.DroppedEntries + w.CutTexts, 0u);
  TFileList loaded;
  const auto r = LoadFileList(loaded, path);
  EXPECT_EQ(r.Status, TFileListLoadStatus::Loaded);
  EXPECT_EQ(r.Entries, 4u);
  EXPECT_EQ(loaded.Entries(), saved.Entries());
  EXPECT_EQ(loaded[3].SubItem(kSubItemMessage), u"");  // missing columns read as empty
}

TEST(SavedFileList, OlderFormatIsReadAndTheNextSaveWritesTheCurrentOne) {
  test::TempDir dir;
  const std::string native = dir / "Deckscribe.job";
  const std::u16string path = PathFromNative(native);
  const std::string ansi = "LVF\x02\x00"s +
                           // entry 1: two texts, the second ending early at its zero byte
                           "\x02\x00"s + "\x01\x00\x00\x00"s + "\x00\x00"s + "\x05\x00" "a.ppt"s +
                           "\x07\x00" "ab\0cdef"s +
                           // entry 2: no texts, a caption
                           "\x00\x00"s + "\x02\x00\x00\x00"s + "\x03\x00" "cap"s;
  test::WriteFile(native, ansi);
  TFileList list;
  list.Add(Entry(0, {u"old"}));
  const auto r = LoadFileList(list, path);
  EXPECT_EQ(r.Status, TFileListLoadStatus::Loaded);
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list[0].State, 1);
  EXPECT_EQ(list[0].SubItems, (std::vector<std::u16string>{u"a.ppt", u"ab"}));
  EXPECT_EQ(list[1].Caption, u"cap");
  EXPECT_EQ(list[1].State, 2);

  TFileList again;
  EXPECT_EQ(LoadFileListAnsi(again, path).Entries, 2u);
  ASSERT_TRUE(SaveFileList(list, path).Ok());
  EXPECT_EQ(test::ReadFile(native).substr(0, 3), "LFW");
  EXPECT_EQ(LoadFileListAnsi(again, path).Status, TFileListLoadStatus::UnknownTag);
  ASSERT_EQ(LoadFileList(again, path).Status, TFileListLoadStatus::Loaded);
  EXPECT_EQ(again.Entries(), list.Entries());
}

TEST(SavedFileList, MissingFileAndUnknownTagLeaveTheListAlone) {
  test::TempDir dir;
  TFileList list;
  list.Add(Entry(0, {u"keep"}));
  EXPECT_EQ(LoadFileList(list, dir.Wide() + u"none.job").Status, TFileListLoadStatus::Missing);
  test::WriteFile(dir / "bad.job", "LFX\x01\x00");
  EXPECT_EQ(LoadFileList(list, dir.Wide() + u"bad.job").Status, TFileListLoadStatus::UnknownTag);
  test::WriteFile(dir / "short.job", "LF");
  EXPECT_EQ(LoadFileList(list, dir.Wide() + u"short.job").Status,
            TFileListLoadStatus::UnknownTag);
  EXPECT_EQ(LoadFileList(list, dir.Wide()).Status, TFileListLoadStatus::ReadError);  // a folder
  EXPECT_EQ(list.Count(), 1u);
}

TEST(SavedFileList, TruncatedFileLoadsOnlyTheCompleteEntries) {
  const TFileList full = SampleList();
  const std::string bytes = SerializeFileList(full);
  // Where each record ends, from the files of the first k entries.
  std::vector<size_t> ends;
  TFileList prefix;
  for (const auto& e : full.Entries()) {
    prefix.Add(e);
    ends.push_back(SerializeFileList(prefix).size());
  }
  for (size_t cut = 3; cut < bytes.size(); ++cut) {
    TFileList list;
    list.Add(Entry(0, {u"stale"}));
    const auto r = ParseFileList(std::string_view(bytes).substr(0, cut), list);
    const size_t complete = static_cast<size_t>(std::count_if(
        ends.begin(), ends.end(), [cut](size_t end) { return end <= cut; }));
    ASSERT_EQ(r.Status, TFileListLoadStatus::Damaged) << cut;
    ASSERT_EQ(list.Count(), complete) << cut;
    ASSERT_EQ(r.Entries, complete);
    for (size_t i = 0; i < complete; ++i) ASSERT_EQ(list[i], full[i]);
  }
}

TEST(SavedFileList, CountsThatDoNotMatchTheContent) {
  TFileList two;
  two.Add(Entry(1, {u"a"}));
  two.Add(Entry(2, {u"b"}));
  std::string bytes = SerializeFileList(two);
  TFileList list;
  bytes[3] = 3;  // announces three
  EXPECT_EQ(ParseFileList(bytes, list).Status, TFileListLoadStatus::Damaged);
  EXPECT_EQ(list.Count(), 2u);
  bytes[3] = 1;  // announces one: the rest is ignored
  EXPECT_EQ(ParseFileList(bytes, list).Status, TFileListLoadStatus::Loaded);
  EXPECT_EQ(list.Count(), 1u);
  // An entry announcing 65535 texts in a short file gives nothing and allocates little.
  const std::string huge = "LFW\x01\x00\xFF\xFF\x00\x00\x00\x00\x00\x00"s;
  EXPECT_EQ(ParseFileList(huge, list).Status, TFileListLoadStatus::Damaged);
  EXPECT_EQ(list.Count(), 0u);
  // An odd byte count: the odd byte is dropped, the rest stays in step.
  const std::string odd = "LFW\x01\x00\x01\x00\x00\x00\x00\x00\x00\x00"s + "\x03\x00" "a\0b"s;
  EXPECT_EQ(ParseFileList(odd, list).Status, TFileListLoadStatus::Loaded);
  EXPECT_EQ(list[0].SubItems, std::vector<std::u16string>{u"a"});
}

TEST(SavedFileList, ListsBeyondTheFormatsLimitsAreCutNotCorrupted) {
  TFileList big;
  for (size_t i = 0; i < kMaxJobEntries + 2; ++i) big.Add(Entry(0, {}));
  std::u16string longText(40000, u'x');
  big[0].SubItems.push_back(longText);
  std::u16string pairAtEdge(kMaxJobTextUnits - 1, u'y');
  pairAtEdge += u"\U0001F600z";
  big[1].Caption = pairAtEdge;
  TFileListSaveResult r;
  const std::string bytes = SerializeFileList(big, &r);
  EXPECT_EQ(r.DroppedEntries, 2u);
  EXPECT_EQ(r.CutTexts, 2u);
  TFileList back;
  EXPECT_EQ(ParseFileList(bytes, back).Status, TFileListLoadStatus::Loaded);
  ASSERT_EQ(back.Count(), kMaxJobEntries);
  EXPECT_EQ(back[0].SubItems[0], longText.substr(0, kMaxJobTextUnits));
  EXPECT_EQ(back[1].Caption, pairAtEdge.substr(0, kMaxJobTextUnits - 1));  // pair not split

  TFileList wide;
  wide.Add(Entry(0, std::vector<std::u16string>(kMaxJobTexts + 1, u"t")));
  const std::string wideBytes = SerializeFileList(wide, &r);
  EXPECT_EQ(r.CutTexts, 1u);
  EXPECT_EQ(ParseFileList(wideBytes, back).Status, TFileListLoadStatus::Loaded);
  EXPECT_EQ(back[0].SubItems.size(), kMaxJobTexts);
}

TEST(SavedFileList, FailedSaveKeepsTheEarlierFile) {
  test::TempDir dir;
  const std::u16string path = dir.Wide() + u"Deckscribe.job";
  ASSERT_TRUE(SaveFileList(SampleList(), path).Ok());
  const std::string before = test::ReadFile(dir / "Deckscribe.job");
  EXPECT_NE(SaveFileList(TFileList(), dir.Wide() + u"missing/Deckscribe.job").Error, 0);
  {
    test::FileSizeLimit full(16);  // the disk fills up while saving
    EXPECT_EQ(SaveFileList(SampleList(), path).Error, EFBIG);
  }
  EXPECT_EQ(test::ReadFile(dir / "Deckscribe.job"), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(SavedFileList, UnreadableFileIsKeptBesideUnderAFreeName) {
  test::TempDir dir;
  const std::u16string path = dir.Wide() + u"Deckscribe.job";
  test::WriteFile(dir / "Deckscribe.job", "XYZ damaged");
  test::WriteFile(dir / "Deckscribe.job.bak", "an earlier backup");
  int error = -1;
  EXPECT_EQ(KeepAsBackup(path, error), path + u".bak2");
  EXPECT_EQ(error, 0);
  EXPECT_EQ(test::ReadFile(dir / "Deckscribe.job.bak2"), "XYZ damaged");
  EXPECT_EQ(test::ReadFile(dir / "Deckscribe.job.bak"), "an earlier backup");
  EXPECT_FALSE(std::filesystem::exists(dir / "Deckscribe.job"));
  // Nothing to rename: the caller hears why.
  EXPECT_EQ(KeepAsBackup(path, error), u"");
  EXPECT_EQ(error, ENOENT);

  for (auto status : {TFileListLoadStatus::Damaged, TFileListLoadStatus::UnknownTag,
                      TFileListLoadStatus::ReadError})
    EXPECT_TRUE(LoadLeftUnreadFile(status));
  for (auto status : {TFileListLoadStatus::Loaded, TFileListLoadStatus::Missing})
    EXPECT_FALSE(LoadLeftUnreadFile(status));
}

}  // namespace
}  // namespace dkscr
