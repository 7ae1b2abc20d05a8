#include "app/session/JobFile.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "app/session/Session.h"

namespace dkscr {
namespace {

using namespace std::string_literals;

using Records = std::vector<JobRecord>;

JobRecord Record(int32_t state, std::vector<std::u16string> texts, std::u16string caption = {}) {
  return {state, std::move(caption), std::move(texts)};
}

// A text field: byte count, then UTF-16LE.
std::string Text(std::u16string_view text) {
  std::string out{static_cast<char>(text.size() * 2 & 0xFF), static_cast<char>(text.size() >> 7)};
  for (char16_t u : text) out += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  return out;
}

Records SampleList() {
  Records list;
  list.push_back(Record(0, {u"x.ppt", u"/a/x.ppt", u"1234", u"PPT", u"/out/x.txt", u""}));
  list.push_back(Record(1, {u"y.pptx", u"/a/y.pptx", u"99", u"PPTX", u"/out/y.txt",
                                   u"Convert successfully"}));
  // Characters no 8-bit code page holds, a pair outside the BMP and an escaped raw byte.
  list.push_back(Record(2, {u"\u4E2D\u6587\U0001F600.ppt", std::u16string(u"/") + char16_t{0xDCE9} + u"/\u4E2D.ppt", u"0",
                                u"DOC", u"", u"Unsupported"}, u"cap"));
  list.push_back(Record(-2, {}));  // no column texts at all, an unknown state kept as it is
  return list;
}

TEST(JobFile, EmptyListIsFiveBytesAndLoadsEmpty) {
  EXPECT_EQ(SerializeJobFile(Records()), "LFW\0\0"s);
  Records list = SampleList();
  const auto r = ParseJobFile("LFW\0\0"s, list);
  EXPECT_EQ(r.status, JobFileLoadStatus::Loaded);
  EXPECT_EQ(list.size(), 0u);
}

TEST(JobFile, OneNewEntryByteLayout) {
  Records list;
  list.push_back(Record(0, {u"x.ppt", u"/a/x.ppt", u"10", u"PPT", u"/out/x.txt", u""}));
  EXPECT_EQ(SerializeJobFile(list),
            "LFW\x01\x00"s + "\x06\x00"s + "\x00\x00\x00\x00"s + "\x00\x00"s + Text(u"x.ppt") +
                Text(u"/a/x.ppt") + Text(u"10") + Text(u"PPT") + Text(u"/out/x.txt") +
                "\x00\x00"s);
}

TEST(JobFile, StatesCaptionsAndEveryCharacterSurviveAFileRoundTrip) {
  test::TempDir dir;
  const std::u16string path = dir.Wide() + u"Deckscribe.job";
  const Records saved = SampleList();
  const auto w = SaveJobFile(saved, path);
  ASSERT_TRUE(w.Ok());
  EXPECT_EQ(w.droppedRecords + w.cutTexts, 0u);
  Records loaded;
  const auto r = LoadJobFile(loaded, path);
  EXPECT_EQ(r.status, JobFileLoadStatus::Loaded);
  EXPECT_EQ(r.records, 4u);
  EXPECT_EQ(loaded, saved);
  EXPECT_EQ(EntryOf(loaded[3]).message, u"");  // missing columns read as empty
}

TEST(JobFile, OlderFormatIsReadAndTheNextSaveWritesTheCurrentOne) {
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
  Records list;
  list.push_back(Record(0, {u"old"}));
  const auto r = LoadJobFile(list, path);
  EXPECT_EQ(r.status, JobFileLoadStatus::Loaded);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].state, 1);
  EXPECT_EQ(list[0].texts, (std::vector<std::u16string>{u"a.ppt", u"ab"}));
  EXPECT_EQ(list[1].caption, u"cap");
  EXPECT_EQ(list[1].state, 2);

  Records again;
  EXPECT_EQ(LoadJobFileAnsi(again, path).records, 2u);
  ASSERT_TRUE(SaveJobFile(list, path).Ok());
  EXPECT_EQ(test::ReadFile(native).substr(0, 3), "LFW");
  EXPECT_EQ(LoadJobFileAnsi(again, path).status, JobFileLoadStatus::UnknownTag);
  ASSERT_EQ(LoadJobFile(again, path).status, JobFileLoadStatus::Loaded);
  EXPECT_EQ(again, list);
}

TEST(JobFile, MissingFileAndUnknownTagLeaveTheListAlone) {
  test::TempDir dir;
  Records list;
  list.push_back(Record(0, {u"keep"}));
  EXPECT_EQ(LoadJobFile(list, dir.Wide() + u"none.job").status, JobFileLoadStatus::Missing);
  test::WriteFile(dir / "bad.job", "LFX\x01\x00");
  EXPECT_EQ(LoadJobFile(list, dir.Wide() + u"bad.job").status, JobFileLoadStatus::UnknownTag);
  test::WriteFile(dir / "short.job", "LF");
  EXPECT_EQ(LoadJobFile(list, dir.Wide() + u"short.job").status,
            JobFileLoadStatus::UnknownTag);
  EXPECT_EQ(LoadJobFile(list, dir.Wide()).status, JobFileLoadStatus::ReadError);  // a folder
  EXPECT_EQ(list.size(), 1u);
}

TEST(JobFile, TruncatedFileLoadsOnlyTheCompleteEntries) {
  const Records full = SampleList();
  const std::string bytes = SerializeJobFile(full);
  // Where each record ends, from the files of the first k entries.
  std::vector<size_t> ends;
  Records prefix;
  for (const auto& e : full) {
    prefix.push_back(e);
    ends.push_back(SerializeJobFile(prefix).size());
  }
  for (size_t cut = 3; cut < bytes.size(); ++cut) {
    Records list;
    list.push_back(Record(0, {u"stale"}));
    const auto r = ParseJobFile(std::string_view(bytes).substr(0, cut), list);
    const size_t complete = static_cast<size_t>(std::count_if(
        ends.begin(), ends.end(), [cut](size_t end) { return end <= cut; }));
    ASSERT_EQ(r.status, JobFileLoadStatus::Damaged) << cut;
    ASSERT_EQ(list.size(), complete) << cut;
    ASSERT_EQ(r.records, complete);
    for (size_t i = 0; i < complete; ++i) ASSERT_EQ(list[i], full[i]);
  }
}

TEST(JobFile, CountsThatDoNotMatchTheContent) {
  Records two;
  two.push_back(Record(1, {u"a"}));
  two.push_back(Record(2, {u"b"}));
  std::string bytes = SerializeJobFile(two);
  Records list;
  bytes[3] = 3;  // announces three
  EXPECT_EQ(ParseJobFile(bytes, list).status, JobFileLoadStatus::Damaged);
  EXPECT_EQ(list.size(), 2u);
  bytes[3] = 1;  // announces one: the rest is ignored
  EXPECT_EQ(ParseJobFile(bytes, list).status, JobFileLoadStatus::Loaded);
  EXPECT_EQ(list.size(), 1u);
  // An entry announcing 65535 texts in a short file gives nothing and allocates little.
  const std::string huge = "LFW\x01\x00\xFF\xFF\x00\x00\x00\x00\x00\x00"s;
  EXPECT_EQ(ParseJobFile(huge, list).status, JobFileLoadStatus::Damaged);
  EXPECT_EQ(list.size(), 0u);
  // An odd byte count: the odd byte is dropped, the rest stays in step.
  const std::string odd = "LFW\x01\x00\x01\x00\x00\x00\x00\x00\x00\x00"s + "\x03\x00" "a\0b"s;
  EXPECT_EQ(ParseJobFile(odd, list).status, JobFileLoadStatus::Loaded);
  EXPECT_EQ(list[0].texts, std::vector<std::u16string>{u"a"});
}

TEST(JobFile, ListsBeyondTheFormatsLimitsAreCutNotCorrupted) {
  Records big;
  for (size_t i = 0; i < kMaxJobEntries + 2; ++i) big.push_back(Record(0, {}));
  std::u16string longText(40000, u'x');
  big[0].texts.push_back(longText);
  std::u16string pairAtEdge(kMaxJobTextUnits - 1, u'y');
  pairAtEdge += u"\U0001F600z";
  big[1].caption = pairAtEdge;
  JobFileSaveResult r;
  const std::string bytes = SerializeJobFile(big, &r);
  EXPECT_EQ(r.droppedRecords, 2u);
  EXPECT_EQ(r.cutTexts, 2u);
  Records back;
  EXPECT_EQ(ParseJobFile(bytes, back).status, JobFileLoadStatus::Loaded);
  ASSERT_EQ(back.size(), kMaxJobEntries);
  EXPECT_EQ(back[0].texts[0], longText.substr(0, kMaxJobTextUnits));
  EXPECT_EQ(back[1].caption, pairAtEdge.substr(0, kMaxJobTextUnits - 1));  // pair not split

  Records wide;
  wide.push_back(Record(0, std::vector<std::u16string>(kMaxJobTexts + 1, u"t")));
  const std::string wideBytes = SerializeJobFile(wide, &r);
  EXPECT_EQ(r.cutTexts, 1u);
  EXPECT_EQ(ParseJobFile(wideBytes, back).status, JobFileLoadStatus::Loaded);
  EXPECT_EQ(back[0].texts.size(), kMaxJobTexts);
}

#ifndef _WIN32  // a full disk through the file-size limit
TEST(JobFile, FailedSaveKeepsTheEarlierFile) {
  test::TempDir dir;
  const std::u16string path = dir.Wide() + u"Deckscribe.job";
  ASSERT_TRUE(SaveJobFile(SampleList(), path).Ok());
  const std::string before = test::ReadFile(dir / "Deckscribe.job");
  EXPECT_NE(SaveJobFile(Records(), dir.Wide() + u"missing/Deckscribe.job").error, 0);
  {
    test::FileSizeLimit full(16);  // the disk fills up while saving
    EXPECT_EQ(SaveJobFile(SampleList(), path).error, EFBIG);
  }
  EXPECT_EQ(test::ReadFile(dir / "Deckscribe.job"), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}
#endif

TEST(JobFile, UnreadableFileIsKeptBesideUnderAFreeName) {
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

  for (auto status : {JobFileLoadStatus::Damaged, JobFileLoadStatus::UnknownTag,
                      JobFileLoadStatus::ReadError})
    EXPECT_TRUE(LeftUnreadFile(status));
  for (auto status : {JobFileLoadStatus::Loaded, JobFileLoadStatus::Missing})
    EXPECT_FALSE(LeftUnreadFile(status));
}

}  // namespace
}  // namespace dkscr
