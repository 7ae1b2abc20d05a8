// Writes the hostile decks of the tests, at the sizes of the reports that found them, into a
// folder, for bench/hostile_forms_bench.sh to time every form on; with --seeds, small decks of
// the same shapes, the seeds of the slide-form fuzzer (fuzz/seeds/fuzz_slide_model).
//   hostile_decks_write [--seeds] FOLDER
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/HostileDecks.h"

namespace {

constexpr uint64_t kMiB = uint64_t{1} << 20;

bool Write(const std::string& folder, const std::string& name, const std::string& bytes) {
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  std::printf("%-22s %10zu bytes\n", name.c_str(), bytes.size());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  const bool seeds = argc == 3 && std::string(argv[1]) == "--seeds";
  if (argc != 2 && !seeds) {
    std::fprintf(stderr, "usage: hostile_decks_write [--seeds] FOLDER\n");
    return 2;
  }
  namespace hostile = dkscr::test::hostile;
  const std::string folder = argv[argc - 1];
  if (seeds) {
    bool ok = Write(folder, "run.pptx", hostile::HugeRunPackage(4 * kMiB, 2));
    ok &= Write(folder, "shared.pptx", hostile::SharedStreamPackage(64, 64 * 1024));
    ok &= Write(folder, "nested.pptx", hostile::NestedPackage(50'000));
    ok &= Write(folder, "author.pptx", hostile::AuthorPackage(64 * 1024, 2000));
    ok &= Write(folder, "ragged.pptx", hostile::RaggedTablePackage(300, 300));
    ok &= Write(folder, "persist.ppt", hostile::AmplifiedPersistPpt(15, 1024));
    ok &= Write(folder, "tiny.ppt", hostile::TinyTextsPpt(2000));
    ok &= Write(folder, "sparse.ppt", hostile::SparseTablePpt(200));
    return ok ? 0 : 1;
  }
  bool ok = Write(folder, "run-250MiB.pptx", hostile::HugeRunPackage(250 * kMiB, 1));
  ok &= Write(folder, "runs-8x250MiB.pptx", hostile::HugeRunPackage(250 * kMiB, 8));
  ok &= Write(folder, "shared-64x10MiB.pptx", hostile::SharedStreamPackage(64, 10 * kMiB));
  ok &= Write(folder, "shared-2000x250MiB.pptx", hostile::SharedStreamPackage(2000, 250 * kMiB));
  ok &= Write(folder, "nested-48M.pptx", hostile::NestedPackage(48'000'000));
  ok &= Write(folder, "author-64MiB.pptx", hostile::AuthorPackage(64 * kMiB, 100'000));
  ok &= Write(folder, "ragged-5000.pptx", hostile::RaggedTablePackage(5000, 5000));
  ok &= Write(folder, "persist-15x8MiB.ppt", hostile::AmplifiedPersistPpt(15, 8 * kMiB));
  ok &= Write(folder, "tiny-500k.ppt", hostile::TinyTextsPpt(500'000));
  ok &= Write(folder, "sparse-20000.ppt", hostile::SparseTablePpt(20'000));
  return ok ? 0 : 1;
}
