// Peak memory of every form on generated decks of 20,000 slides of each format: each
// conversion runs in a child process, and its peak resident set beyond what it held when it
// started stays within three times its output plus 16 MiB, the bound the default text has long
// kept. The decks of 100,000 slides take too long for the suite: bench/slide_forms_memory_bench.sh
// measures them.
#include <gtest/gtest.h>

#if defined(__linux__) && defined(__GLIBC__)  // ru_maxrss in kilobytes, /proc, malloc_trim
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "tests/cli/deck/Deck.h"
#include "tests/support/Conversions.h"
#include "tests/support/ProcessGuards.h"
#include "tests/support/ScratchDir.h"

namespace dkscr {
namespace {

constexpr uint64_t kMiB = uint64_t{1} << 20;
constexpr int kSlides = 20'000;

uint64_t PeakResidentBytes() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<uint64_t>(usage.ru_maxrss) * 1024;
}

uint64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  uint64_t pages = 0;
  uint64_t resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
}

// Starts the peak over: what the child took over from the process it was forked from (freed
// memory it would use again without growing) is given back, and the peak set to what it holds.
bool StartPeakOver() {
  ::malloc_trim(0);
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.close();
  return static_cast<bool>(clear);
}

struct Measured {
  int64_t code = -100;  // -100: the child died, -101: its peak cannot be started over
  uint64_t peak = 0;    // bytes of resident set the conversion added at its peak
};

// One conversion of the file in a child; its result and the growth of its peak resident set.
Measured ConvertInChild(PresentationKind kind, const std::string& path, SlideMode mode) {
  const auto report = test::ReportOfBoundedChild(
      [&] {
        if (!StartPeakOver()) return std::string("-101 0");
        const uint64_t before = ResidentBytes();
        OutputBuffer out;
        const ResultCode code = ConvertFile(path, test::RequestFor(kind, 65001, mode), out);
        return std::to_string(code) + " " + std::to_string(PeakResidentBytes() - before);
      },
      uint64_t{4096} * kMiB, 60);
  Measured measured;
  if (report) {
    const size_t space = report->find(' ');
    measured.code = std::stoll(report->substr(0, space));
    measured.peak = std::stoull(report->substr(space + 1));
  }
  return measured;
}

class FormMemoryTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!test::kAddressSpaceLimited) return;  // the sanitizers' shadow memory counts too
    scratch_ = new test::ScratchDir();
    // Written by a child, so that no page of the decks stays with the process the
    // conversions fork from.
    const int status = test::StatusInChild(
        [] {
          const test::Deck deck = test::LargeDeck(kSlides);
          scratch_->Write("large.ppt", test::MakePptFile(deck));
          scratch_->Write("large.pptx", test::MakePptxFile(deck));
          return 0;
        },
        120);
    ASSERT_EQ(status, 0);
  }
  static void TearDownTestSuite() {
    delete scratch_;
    scratch_ = nullptr;
  }

  void SetUp() override {
    if (!test::kAddressSpaceLimited) GTEST_SKIP() << "memory is not measured under the sanitizers";
  }

  // Every form of the deck within three times its output plus 16 MiB.
  static void ExpectEveryFormBounded(PresentationKind kind, const std::string& name) {
    for (const SlideMode mode : {SlideMode::kText, SlideMode::kFull, SlideMode::kMarkdown, SlideMode::kJson}) {
      const Measured measured = ConvertInChild(kind, scratch_->Path(name), mode);
      if (measured.code == -101) GTEST_SKIP() << "/proc/self/clear_refs cannot be written";
      ASSERT_GT(measured.code, 0) << name << " form " << static_cast<int>(mode);
      const uint64_t bound = 3 * static_cast<uint64_t>(measured.code) + 16 * kMiB;
      EXPECT_LE(measured.peak, bound) << name << " form " << static_cast<int>(mode) << ": " << measured.peak / 1024
                                      << " KiB at the peak for " << measured.code << " bytes of output";
    }
  }

  static test::ScratchDir* scratch_;
};

test::ScratchDir* FormMemoryTest::scratch_ = nullptr;

TEST_F(FormMemoryTest, BinaryDeckOf20000Slides) { ExpectEveryFormBounded(PresentationKind::kPpt, "large.ppt"); }

TEST_F(FormMemoryTest, OpenXmlDeckOf20000Slides) { ExpectEveryFormBounded(PresentationKind::kPptx, "large.pptx"); }

}  // namespace
}  // namespace dkscr
#endif
