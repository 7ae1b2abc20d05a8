// Files on Windows: names in UTF-16 whatever their characters, only disk files read, whole
// files replaced by a rename.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <io.h>

#include "convert/PresentationKind.h"
#include "platform/ByteSource.h"
#include "platform/NativePath.h"
#include "platform/RegularFile.h"
#include "tests/support/Conversions.h"
#include "tests/windows/WindowsTestSupport.h"
#include "tools/AtomicWrite.h"

namespace dkscr {
namespace {

const std::string kSamples = DKSCR_TEST_SOURCE_DIR "/../../samples/";

// Letters of three scripts and a character beyond the BMP.
const std::u16string kOddName = u"Pr\u00e4sentation \u65e5\u672c \u0416 \U0001F600.pptx";

TEST(WindowsFiles, NamesSurviveTheNativeSpelling) {
  // Lone surrogates too, which only Windows names may hold (Wine cannot store them).
  const std::u16string lone = kOddName + u"\xDC80\xD800-";
  EXPECT_EQ(PathFromNative(PathToNative(lone)), lone);
  EXPECT_EQ(WidePath(PathToNative(lone)), test::Wide(lone));
  EXPECT_EQ(ExtensionOfPath("a.ppt\\folder"), "");  // the backslash separates folders
}

TEST(WindowsFiles, AnyNameOpensAndConverts) {
  test::WideScratchDir dir;
  const std::string package = test::ReadWide(kSamples + "sample.pptx");
  ASSERT_GT(package.size(), 100u);
  test::WriteWide(dir.Path(kOddName), package);

  const std::string native = dir.Native(kOddName);
  const FileStatus status = StatusOfPath(native);
  EXPECT_EQ(status.kind, PathKind::kRegular);
  EXPECT_EQ(status.size, package.size());
  int error = 0;
  const auto source = ByteSource::OpenFile(native, error);
  ASSERT_NE(source, nullptr) << error;
  std::string head(4, '\0');
  EXPECT_EQ(source->Read(head.data(), 4), 4u);
  EXPECT_EQ(head, package.substr(0, 4));

  OutputBuffer odd, plain;
  const ResultCode oddLength = ConvertPptx(PathFromNative(native), odd, 65001);
  const ResultCode plainLength = ConvertPptx(PathFromNative(kSamples + "sample.pptx"), plain, 65001);
  ASSERT_GT(plainLength, 3);
  ASSERT_EQ(oddLength, plainLength);
  EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(odd.Data()), oddLength),
            std::string_view(reinterpret_cast<const char*>(plain.Data()), plainLength));
}

TEST(WindowsFiles, FoldersAndDevicesAreNotRead) {
  test::WideScratchDir dir;
  const std::string folder = dir.Native(u"");
  uint64_t size = 0;
  EXPECT_EQ(KindOfPath(folder), PathKind::kDirectory);
  EXPECT_EQ(OpenRegularFileForReading(folder, size), -1);
  EXPECT_EQ(errno, EISDIR);
  OutputBuffer buffer;
  EXPECT_EQ(ConvertPptx(PathFromNative(folder), buffer, 65001), kResultSourceMissing);
  EXPECT_EQ(OpenRegularFileForReading("NUL", size), -1);  // a device: never read
  EXPECT_NE(KindOfPath("NUL"), PathKind::kRegular);
}

TEST(WindowsFiles, WholeFilesAreReplacedOrKept) {
  test::WideScratchDir dir;
  const std::u16string name = u"\u00fcber.txt";
  const std::string target = dir.Native(name);
  AtomicWriteOptions keep;
  AtomicWriteOptions replace;
  replace.replaceExisting = true;

  EXPECT_EQ(WriteFileAtomically(target, "one\r\n", keep), AtomicWriteResult::kWritten);
  EXPECT_EQ(WriteFileAtomically(target, "two", keep), AtomicWriteResult::kExists);
  EXPECT_EQ(test::ReadWide(dir.Path(name)), "one\r\n");
  EXPECT_EQ(WriteFileAtomically(target, "three", replace), AtomicWriteResult::kWritten);
  EXPECT_EQ(test::ReadWide(dir.Path(name)), "three");

  // The source itself, a read-only file and a folder are never replaced.
  replace.protectedPath = target;
  EXPECT_EQ(WriteFileAtomically(target, "four", replace), AtomicWriteResult::kCreateFailed);
  replace.protectedPath.clear();
  ASSERT_TRUE(::SetFileAttributesW(dir.Path(name).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(WriteFileAtomically(target, "five", replace), AtomicWriteResult::kCreateFailed);
  ::SetFileAttributesW(dir.Path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(WriteFileAtomically(dir.Native(u""), "six", replace), AtomicWriteResult::kCreateFailed);
  EXPECT_EQ(test::ReadWide(dir.Path(name)), "three");

  // No temporary file is left beside the destination.
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path(u""))) files += entry.is_regular_file();
  EXPECT_EQ(files, 1u);
}

}  // namespace
}  // namespace dkscr
