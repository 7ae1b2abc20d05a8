// batch_throughput DKSCRBATCH [ROUNDS] [REPEAT] [CORPUS_DIR]   (scratch files under $TMPDIR)
// dkscrbatch against the in-process loop on the same files, side by side: every .ppt and
// .pptx of the folder REPEAT times over (20 by default), converted ROUNDS times (5) in turn by
//   - the in-process loop of bench/corpus_throughput (default text, UTF-8, from disk),
//   - dkscrbatch --jsonl -j1 and -j2 (records to /dev/null),
//   - dkscrbatch -d DIR -j1 and -j2 (text files; a tree of links gives each copy its name),
//   - the SHA-256 that every record carries, alone: each file read whole and digested,
//   - dkscrbatch --jsonl --no-sha256 -j1 and -j2, when the build takes that option.
// Prints the median files per second of each, by the wall clock and by processor time, the
// ratios the batch converter is held to, and the most that the digests leave possible. Runs of one round and one repeat make a smoke
// test: the numbers then mean little.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "batch/SourceDigest.h"
#include "convert/Convert.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Timing {
  double wall = 0;  // seconds
  double cpu = 0;   // user and system seconds of the process (and its threads)
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The loop of corpus_throughput from disk: each file converted by path into one buffer.
Timing InProcessLoop(const std::vector<std::string>& files, dkscr::OutputBuffer& out) {
  const auto start = std::chrono::steady_clock::now();
  const double cpu = ProcessCpuSeconds();
  for (const std::string& path : files) {
    dkscr::ConvertRequest request;
    request.codePage = 65001;
    request.format = fs::path(path).extension() == ".pptx" ? dkscr::PresentationKind::kPptx
                                                           : dkscr::PresentationKind::kPpt;
    request.name = path;
    dkscr::ConvertFile(path, request, out);
  }
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          ProcessCpuSeconds() - cpu};
}

// What a record's digest costs alone: each file read whole into one buffer and digested.
Timing DigestLoop(const std::vector<std::string>& files, std::string& bytes) {
  const auto start = std::chrono::steady_clock::now();
  const double cpu = ProcessCpuSeconds();
  size_t sink = 0;
  for (const std::string& path : files) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    bytes.resize(static_cast<size_t>(fs::file_size(path)));
    const ssize_t got = read(fd, bytes.data(), bytes.size());
    close(fd);
    sink += dkscr::Sha256Hex(std::string_view(bytes.data(), got > 0 ? static_cast<size_t>(got) : 0)).size();
  }
  if (sink == 0) std::fprintf(stderr, "no digest\n");
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          ProcessCpuSeconds() - cpu};
}

// Runs the program, its output and errors to /dev/null, and waits for it: its wait status.
int Spawn(const std::vector<std::string>& args, rusage& usage) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", argv[0]);
    std::exit(1);
  }
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  wait4(pid, &status, 0, &usage);
  return status;
}

// Whether the program takes the option (an earlier build may not).
bool Takes(const std::string& program, const std::string& option) {
  rusage usage{};
  const int status = Spawn({program, option, "--version"}, usage);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One run of the program, timed.
Timing Run(const std::vector<std::string>& args) {
  const auto start = std::chrono::steady_clock::now();
  rusage usage{};
  const int status = Spawn(args, usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {  // 1: some files failed, as in the corpus
    std::fprintf(stderr, "%s ended abnormally (status %d)\n", args[0].c_str(), status);
    std::exit(1);
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {wall, Seconds(usage.ru_utime) + Seconds(usage.ru_stime)};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: batch_throughput DKSCRBATCH [ROUNDS] [REPEAT] [CORPUS_DIR]\n");
    return 2;
  }
  const std::string batch = fs::absolute(argv[1]).string();
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const int repeat = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
  const fs::path corpus = argc > 4 ? argv[4] : DKSCR_CORPUS_DIR;
  if (!fs::is_directory(corpus)) {
    std::fprintf(stderr, "no corpus at %s\n", corpus.c_str());
    return 1;
  }
  std::vector<std::string> once;
  for (const fs::directory_entry& e : fs::directory_iterator(corpus)) {
    const std::string ext = e.path().extension().string();
    if (e.is_regular_file() && (ext == ".ppt" || ext == ".pptx")) once.push_back(fs::absolute(e.path()).string());
  }
  std::sort(once.begin(), once.end());
  if (once.empty()) {
    std::fprintf(stderr, "no presentations in %s\n", corpus.c_str());
    return 1;
  }
  std::vector<std::string> files;
  for (int r = 0; r < repeat; ++r) files.insert(files.end(), once.begin(), once.end());

  // The list for the records, and a tree of links for the text files (each copy its own name).
  // Under $TMPDIR when set: the text files of -d cost what the file system takes to create a
  // file, which differs widely between file systems (0.28 ms on one disk, 7 us in memory).
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/batch_throughput.XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  const fs::path work = pattern;
  {
    std::ofstream list(work / "list");
    for (const std::string& f : files) list << f << '\n';
  }
  for (int r = 0; r < repeat; ++r) {
    const fs::path copy = work / "tree" / std::to_string(r);
    fs::create_directories(copy);
    for (const std::string& f : once) fs::create_symlink(f, copy / fs::path(f).filename());
  }
  const std::string list = (work / "list").string();
  const std::string tree = (work / "tree").string();
  const std::string out = (work / "out").string();

  struct Side {
    std::string name;
    std::vector<std::string> args;  // empty: an in-process loop (`digest`: the digests')
    bool digest;
    std::vector<double> wall, cpu;
  };
  std::vector<Side> sides = {
      {"in-process loop (from disk)", {}, false, {}, {}},
      {"dkscrbatch --jsonl -j1", {batch, "-q", "--jsonl", "-j1", "--files-from", list}, false, {}, {}},
      {"dkscrbatch --jsonl -j2", {batch, "-q", "--jsonl", "-j2", "--files-from", list}, false, {}, {}},
      {"dkscrbatch -d DIR -j1", {batch, "-q", "-j1", "-d", out, tree}, false, {}, {}},
      {"dkscrbatch -d DIR -j2", {batch, "-q", "-j2", "-d", out, tree}, false, {}, {}},
      {"SHA-256 alone (read whole)", {}, true, {}, {}},
  };
  // Records without digests show what the batch itself costs beside the conversions.
  const bool noDigests = Takes(batch, "--no-sha256");
  if (noDigests) {
    sides.push_back({"--jsonl --no-sha256 -j1", {batch, "-q", "--no-sha256", "-j1", "--files-from", list}, false, {}, {}});
    sides.push_back({"--jsonl --no-sha256 -j2", {batch, "-q", "--no-sha256", "-j2", "--files-from", list}, false, {}, {}});
  }
  std::string bytes;
  dkscr::OutputBuffer buffer;
  InProcessLoop(files, buffer);  // warms the page cache and the allocator
  Run(sides[1].args);
  for (int round = 0; round < rounds; ++round) {
    for (Side& side : sides) {
      fs::remove_all(out);
      const Timing t = side.digest          ? DigestLoop(files, bytes)
                       : side.args.empty() ? InProcessLoop(files, buffer)
                                           : Run(side.args);
      side.wall.push_back(t.wall);
      side.cpu.push_back(t.cpu);
    }
  }
  fs::remove_all(work);

  const double n = static_cast<double>(files.size());
  std::printf("batch throughput: %zu files (%zu x %d), %d rounds, %ld cores, load %s\n", files.size(), once.size(),
              repeat, rounds, sysconf(_SC_NPROCESSORS_ONLN), LoadAverage().c_str());
  std::printf("%-30s %14s %14s\n", "", "files/s wall", "files/s cpu");
  std::map<std::string, double> wall, cpu;
  for (const Side& side : sides) {
    wall[side.name] = n / Median(side.wall);
    cpu[side.name] = n / Median(side.cpu);
    std::printf("%-30s %14.0f %14.0f\n", side.name.c_str(), wall[side.name], cpu[side.name]);
  }
  const double loopWall = wall[sides[0].name];
  const double loopCpu = cpu[sides[0].name];
  std::printf("ratios (wall clock; processor time in brackets where it means the same)\n");
  std::printf("  --jsonl -j1 / loop        %5.2f (%4.2f)  target 0.67\n", wall[sides[1].name] / loopWall,
              cpu[sides[1].name] / loopCpu);
  std::printf("  --jsonl -j2 / loop        %5.2f          target 1.2\n", wall[sides[2].name] / loopWall);
  std::printf("  -d -j1 / --jsonl -j1      %5.2f          target 0.67 (-d within 1.5x of --jsonl)\n",
              wall[sides[3].name] / wall[sides[1].name]);
  std::printf("  -d -j2 / --jsonl -j2      %5.2f          target 0.67 (-d within 1.5x of --jsonl)\n",
              wall[sides[4].name] / wall[sides[2].name]);
  // Every record carries the digest of all its source's bytes, work that no conversion does.
  // With the digests spread perfectly over both cores beside the conversions, a run cannot
  // take less than max(loop, (loop + digests) / 2) on one worker, nor (loop + digests) / 2 on
  // two (reading whole and writing the records left out).
  const double loopSeconds = n / loopWall;
  const double digestSeconds = n / wall[sides[5].name];
  const double shared = (loopSeconds + digestSeconds) / 2;
  std::printf("most the digests leave possible on two cores: -j1 %.2f, -j2 %.2f\n",
              loopSeconds / std::max(loopSeconds, shared), loopSeconds / shared);
  if (noDigests) {
    std::printf("without digests: --jsonl --no-sha256 -j1 / loop %.2f, -j2 / loop %.2f\n",
                wall[sides[6].name] / loopWall, wall[sides[7].name] / loopWall);
  }
  return 0;
}
