#include "batch/BatchRun.h"

#ifndef _WIN32
#include <sched.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "batch/BatchOptions.h"
#include "batch/ConvertSource.h"
#include "batch/InputList.h"
#include "batch/JsonText.h"
#include "batch/OrderedPool.h"
#include "batch/PendingDigests.h"
#include "batch/Progress.h"
#include "batch/SourceDigest.h"
#include "batch/TextFileNames.h"
#include "batch/WholeFileReader.h"
#include "platform/RegularFile.h"
#include "text/CodePage.h"
#include "text/Encode.h"
#include "tools/AtomicWrite.h"
#include "tools/ConvertToTarget.h"
#include "tools/EndSignals.h"
#include "tools/Messages.h"

namespace dkscr {
namespace {

constexpr int kExitFailures = 1;
constexpr int kExitUsage = 2;
// Results waiting for their turn, per worker: many while they are light, so that a worker
// goes on converting (or digesting) while the writing thread digests; few when they are heavy.
constexpr size_t kResultsPerJob = 16;
constexpr size_t kHeavyResultsPerJob = 4;
constexpr size_t kHeavyBytes = 32u << 20;  // records and sources held by the waiting results
constexpr size_t kOutputBlock = 1 << 16;  // standard output is written in blocks this large
// A worker leaves the digest of a source up to this size to be taken later, by the thread
// that writes the records or by a worker that finds the window full: the digests, which cost
// about as much as the conversions, run beside them on every core.
constexpr size_t kHandOverBytes = 4u << 20;
constexpr uint64_t kWholeReadWithoutDigest = 256u << 10;
constexpr std::string_view kDigestMember = ",\"sha256\":\"";

enum class Outcome { kConverted, kKept, kFailed };

struct Result {
  Outcome outcome = Outcome::kFailed;
  ResultCode code = 0;
  std::string message;
  std::string record;  // JSON Lines: the whole line
  // When it holds bytes, the record's digest is a placeholder at `digestAt`, to be replaced
  // by theirs.
  SourceBuffer undigested;
  size_t digestAt = 0;
  size_t held = 0;  // bytes of memory the result holds while it waits
};

struct RunSettings {
  bool textFiles = false;  // -d
  std::string outputDir;   // -d's folder
  SlideMode mode = SlideMode::kText;
  int32_t codePage = kCodePageUtf8;
  bool overwrite = false;
  bool update = false;
  bool digest = true;  // JSON Lines: each record carries its source's SHA-256
};

// What a worker keeps from file to file.
struct WorkerState {
  // Without digests (text files), only small sources are read whole: of a large one the
  // conversion reads only the parts it needs.
  WorkerState(bool digest, SourceBufferPool* pool)
      : reader(digest, pool, digest ? WholeFileReader::kWholeReadLimit : kWholeReadWithoutDigest) {}
  OutputBuffer buffer;
  WholeFileReader reader;
};

// The digest member of the record of the source just read: its own, or a placeholder when
// the bytes are to be digested later (`handOver` set).
const std::optional<std::string>& RecordDigest(WorkerState& worker, bool& handOver) {
  static const std::optional<std::string> placeholder = std::string(64, '0');
  handOver = worker.reader.ReadWhole() && worker.reader.WholeSize() <= kHandOverBytes;
  return handOver ? placeholder : worker.reader.Digest();
}

// A record made with the placeholder takes the source's bytes along.
void HandOverDigest(Result& result, WorkerState& worker) {
  result.digestAt = result.record.find(kDigestMember) + kDigestMember.size();
  result.undigested = worker.reader.TakeBuffer();
}

// The placeholder replaced by the digest.
void FillDigest(Result& result, SourceBufferPool& pool) {
  if (!result.undigested.data) return;
  const std::string hex = Sha256Hex(result.undigested.Bytes());
  result.record.replace(result.digestAt, hex.size(), hex);
  pool.Give(std::move(result.undigested));
}

Result Made(Outcome outcome, ResultCode code, std::string message) {
  Result result;
  result.outcome = outcome;
  result.code = code;
  result.message = std::move(message);
  return result;
}

Result Failed(ResultCode code, std::string message) { return Made(Outcome::kFailed, code, std::move(message)); }

Result ConvertToTextFile(const BatchItem& item, const RunSettings& settings, WorkerState& worker) {
  worker.reader.Begin();
  TargetJob job;
  job.source = item.source;
  job.target = item.target;
  job.request = SourceRequest(item.source, settings.mode, settings.codePage);
  job.overwrite = settings.update      ? OverwritePolicy::kReplaceOlder
                  : settings.overwrite ? OverwritePolicy::kReplace
                                       : OverwritePolicy::kKeep;
  job.makeFolders = true;
  job.confineTo = settings.outputDir;
  const SourceOpener open = worker.reader.Opener();
  const TargetResult result = ConvertToTarget(
      job, worker.buffer, [&](const std::string& path, const ConvertRequest& request, OutputBuffer& output) {
        return ConvertFile(path, request, output, open);
      });
  JobReport report = ReportOf(job, result);
  switch (result.outcome) {
    case TargetOutcome::kWritten: return Made(Outcome::kConverted, report.code, std::move(report.message));
    case TargetOutcome::kExists:
    case TargetOutcome::kUpToDate: return Made(Outcome::kKept, report.code, std::move(report.message));
    default: return Failed(report.code, std::move(report.message));
  }
}

// A record with the JSON form's members in place of the text. The form is written slide by
// slide, as dkscrcmd writes it, so a long deck is never held whole as a model.
Result ConvertToSlidesRecord(const BatchItem& item, const RunSettings& settings, WorkerState& worker) {
  OutputBuffer& buffer = worker.buffer;
  const ResultCode code = item.failure != 0 ? item.failure
                                            : ConvertSource(item.source, SlideMode::kJson, kCodePageUtf8,
                                                            buffer, worker.reader.Opener());
  bool handOver = false;
  const std::optional<std::string>* sha256 = settings.digest ? &RecordDigest(worker, handOver) : nullptr;
  Result result;
  if (code < 0) {
    result = Failed(code, item.failure != 0 ? item.message : ResultMessage(code, item.source));
    result.record = JsonRecord(item.source, result.code, result.message, {}, sha256);
  } else {
    result = Made(Outcome::kConverted, 0, "OK");
    const std::string_view form(reinterpret_cast<const char*>(buffer.Data()), static_cast<size_t>(code));
    result.record = JsonSlidesRecord(item.source, result.message, form, sha256);
  }
  if (handOver) HandOverDigest(result, worker);
  return result;
}

// The digest is that of the bytes converted: the file is read once, whole (see WholeFileReader).
Result ConvertToRecord(const BatchItem& item, const RunSettings& settings, WorkerState& worker) {
  worker.reader.Begin();
  if (settings.mode == SlideMode::kJson) return ConvertToSlidesRecord(item, settings, worker);
  OutputBuffer& buffer = worker.buffer;
  Result result;
  if (item.failure != 0) {
    result = Failed(item.failure, item.message);
  } else {
    result.code = ConvertSource(item.source, settings.mode, kCodePageUtf8, buffer, worker.reader.Opener());
    result.outcome = result.code >= 0 ? Outcome::kConverted : Outcome::kFailed;
    result.message = result.code >= 0 ? "OK" : ResultMessage(result.code, item.source);
  }
  const std::string_view text =
      result.code > 0 ? std::string_view(reinterpret_cast<const char*>(buffer.Data()),
                                         static_cast<size_t>(result.code))
                      : std::string_view{};
  bool handOver = false;
  const std::optional<std::string>* sha256 = settings.digest ? &RecordDigest(worker, handOver) : nullptr;
  result.record = JsonRecord(item.source, result.code, result.message, text, sha256);
  if (handOver) HandOverDigest(result, worker);
  return result;
}

Result ConvertItem(const BatchItem& item, const RunSettings& settings, WorkerState& worker) {
  try {
    if (!settings.textFiles) return ConvertToRecord(item, settings, worker);
    if (item.failure != 0) return Failed(item.failure, item.message);
    return ConvertToTextFile(item, settings, worker);
  } catch (...) {  // out of memory while building a message or record
    Result result = Failed(kResultFormatError, ResultMessage(kResultFormatError, item.source));
    if (!settings.textFiles) result.record = JsonRecord(item.source, result.code, result.message, {});
    return result;
  }
}

// Each form's own extension, so that a folder of Markdown opens as such.
std::string_view TextFileExtension(SlideMode mode) {
  switch (mode) {
    case SlideMode::kMarkdown: return ".md";
    case SlideMode::kJson: return ".json";
    case SlideMode::kText:
    case SlideMode::kFull: break;
  }
  return ".txt";
}

void WriteLine(int fd, const std::string& text) { WriteAllBytes(fd, "dkscrbatch: " + text + "\n"); }

// The cores this process may run on (as nproc counts them: a CPU mask or a container limits
// them), else every online one.
unsigned UsableCores() {
#ifdef _WIN32
  return std::max(1u, std::thread::hardware_concurrency());
#else
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
    return static_cast<unsigned>(CPU_COUNT(&set));
  }
  return std::max(1u, std::thread::hardware_concurrency());
#endif
}

// The text of an errno value, the same in every locale.
const char* ErrorText(int error) {
#ifdef _WIN32
  return std::strerror(error);  // before any thread starts: its buffer is ours alone
#else
  return strerrordesc_np(error);
#endif
}

int UsageError(const BatchStreams& streams, const std::string& error) {
  WriteLine(streams.err, error);
  WriteAllBytes(streams.err, "Try 'dkscrbatch --help' for more information.\n");
  return kExitUsage;
}

}  // namespace

int RunBatch(std::span<const char* const> args, const BatchStreams& streams) {
  const ParsedBatchOptions parsed = ParseBatchOptions(args);
  if (!parsed.error.empty()) return UsageError(streams, parsed.error);
  const BatchOptions& options = parsed.options;
  if (options.help) return WriteAllBytes(streams.out, BatchHelpText()) ? 0 : kExitFailures;
  if (options.version) return WriteAllBytes(streams.out, BatchVersionText()) ? 0 : kExitFailures;

  const InputSelection selection{options.extensions};
  std::vector<BatchItem> items;
  for (const std::string& path : options.paths) AddPath(path, selection, items);
  if (options.filesFrom) {
    std::string list;
    if (const int error = ReadPathListFile(*options.filesFrom, streams.in, options.nulSeparated, list); error != 0) {
      return UsageError(streams, "cannot read the list \"" + *options.filesFrom + "\": " +
                                     ErrorText(error));
    }
    for (const std::string& path : SplitPathList(list, options.nulSeparated)) {
      AddPath(path, selection, items);
    }
  }

  RunSettings settings;
  settings.textFiles = !options.outputDir.empty();
  settings.outputDir = options.outputDir;
  settings.mode = options.mode;
  if (settings.textFiles) {
    AssignTextFileNames(items, options.outputDir, selection, TextFileExtension(options.mode));
    settings.codePage = options.codePage.value_or(kCodePageUtf8);
    if (settings.codePage == 0) settings.codePage = DefaultCodePage();
  }
  settings.overwrite = options.overwrite;
  settings.update = options.update;
  settings.digest = !settings.textFiles && options.digest;

  const unsigned jobs =
      options.jobs != 0 ? options.jobs : UsableCores();
  const size_t window = kResultsPerJob * jobs;
  std::atomic<size_t> heldBytes{0};
  std::vector<Result> slots(window);
  PendingDigests digests(window);
  SourceBufferPool pool(jobs + 2, kHandOverBytes);
  std::vector<WorkerState> workers;  // one per worker, reused from file to file
  workers.reserve(jobs);
  for (unsigned w = 0; w < jobs; ++w) workers.emplace_back(settings.digest, &pool);

  BatchCounts counts;
  ProgressLine progress(streams.err, streams.errIsTerminal && !options.quiet, items.size());
  std::string pending;  // JSON Lines not yet written
  bool outputFailed = false;

  OrderedPoolTasks tasks;
  tasks.work = [&](size_t index, unsigned worker) {
    Result& result = slots[index % window];
    result = ConvertItem(items[index], settings, workers[worker]);
    result.held = result.record.capacity() + result.undigested.capacity;
    heldBytes.fetch_add(result.held, std::memory_order_relaxed);
    if (result.undigested.data) digests.Offer(index % window, index);  // others may digest it from here
  };
  tasks.heavy = [&] { return heldBytes.load(std::memory_order_relaxed) > kHeavyBytes; };
  tasks.heavyWindow = kHeavyResultsPerJob * jobs;
  tasks.help = [&](unsigned) {
    return digests.MakeAny([&](size_t slot) { FillDigest(slots[slot], pool); });
  };
  tasks.take = [&](size_t index) {
    Result& result = slots[index % window];
    heldBytes.fetch_sub(result.held, std::memory_order_relaxed);
    digests.Settle(index % window, [&](size_t slot) { FillDigest(slots[slot], pool); });
    switch (result.outcome) {
      case Outcome::kConverted: ++counts.converted; break;
      case Outcome::kKept: ++counts.kept; break;
      case Outcome::kFailed:
        ++counts.failedBy[result.code];
        progress.Clear();
        WriteLine(streams.err, result.message);
        break;
    }
    pending += result.record;
    result = Result{};  // the text is freed as soon as it is written out
    if (pending.size() >= kOutputBlock) {
      const WholeLines whole;
      outputFailed = !WriteAllBytes(streams.out, pending);
      pending.clear();
    }
    progress.Update(counts);
    return !outputFailed;
  };
  tasks.tick = [&] { progress.Update(counts); };
  RunOrderedPool(items.size(), jobs, window, tasks);
  if (!outputFailed && !pending.empty()) {
    const WholeLines whole;
    outputFailed = !WriteAllBytes(streams.out, pending);
  }

  progress.Update(counts, true);
  progress.Clear();
  if (outputFailed) WriteLine(streams.err, "standard output cannot be written; batch stopped");
  if (!options.quiet) WriteLine(streams.err, SummaryText(counts, progress.Seconds()));
  return counts.Failed() > 0 || outputFailed ? kExitFailures : 0;
}

}  // namespace dkscr
