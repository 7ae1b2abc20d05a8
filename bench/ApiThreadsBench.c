/* Conversions per second through the C interface on the corpus's presentations, with 1 and
 * with 2 threads in one process: each thread walks the whole list, from files on disk, until
 * the time is up, and checks every result against one made before the clock starts, so that
 * threads spoiling each other's work show as mismatches, not as speed.
 * Usage: bench_api_threads [corpus-dir [seconds [threads]]]; with `threads` only that run. */
#define _POSIX_C_SOURCE 200809L
#include <deckscribe/deckscribe.h>
#include <dirent.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <stdint.h>

enum { kMaxFiles = 256, kMaxThreads = 8 };

static char* paths[kMaxFiles];
static size_t count = 0;
/* What converting each file alone gives: result code, size and a hash of the text. */
typedef struct {
  int32_t code;
  size_t size;
  uint64_t hash;
} outcome;
static outcome expected[kMaxFiles];
static double seconds = 3.0;

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

typedef struct {
  double until;
  long conversions;
  long mismatches;
  double cpu; /* seconds this thread ran */
} job;

static uint64_t fnv1a(const unsigned char* bytes, size_t size) {
  uint64_t h = 14695981039346656037ull;
  for (size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
  return h;
}

static outcome convert(const char* path, const dkscr_options* options) {
  unsigned char* text = NULL;
  size_t size = 0;
  outcome o;
  o.code = dkscr_convert_file(path, options, &text, &size);
  o.size = text != NULL ? size : 0;
  o.hash = text != NULL ? fnv1a(text, size) : 0;
  dkscr_free(text);
  return o;
}

static void init_options(dkscr_options* options) {
  dkscr_options_init(options);
  options->code_page = 65001;
}

static double thread_cpu(void) {
  struct timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static void* run(void* arg) {
  job* j = arg;
  dkscr_options options;
  init_options(&options);
  const double cpu_start = thread_cpu();
  while (now() < j->until) {
    for (size_t i = 0; i < count; ++i) {
      const outcome o = convert(paths[i], &options);
      if (o.code != expected[i].code || o.size != expected[i].size || o.hash != expected[i].hash) {
        ++j->mismatches;
      }
      ++j->conversions;
    }
  }
  j->cpu = thread_cpu() - cpu_start;
  return NULL;
}

/* Conversions per second of wall time; *per_cpu gets them per second of CPU time, which stays
   flat when threads do not wait on each other, even on a machine too busy for a wall-time
   speed-up to show. */
static double rate(int threads, double* per_cpu) {
  pthread_t ids[kMaxThreads];
  job jobs[kMaxThreads];
  const double start = now();
  for (int t = 0; t < threads; ++t) {
    jobs[t].until = start + seconds;
    jobs[t].conversions = 0;
    jobs[t].mismatches = 0;
    pthread_create(&ids[t], NULL, run, &jobs[t]);
  }
  long total = 0, mismatches = 0;
  double cpu = 0;
  for (int t = 0; t < threads; ++t) {
    pthread_join(ids[t], NULL);
    total += jobs[t].conversions;
    mismatches += jobs[t].mismatches;
    cpu += jobs[t].cpu;
  }
  const double wall = now() - start;
  *per_cpu = (double)total / cpu;
  printf("%d thread(s): %8.1f conversions/s, %8.1f per CPU-second, %.2f CPUs used, %ld results"
         " differing from a lone conversion\n", threads, (double)total / wall, *per_cpu, cpu / wall,
         mismatches);
  return (double)total / wall;
}

int main(int argc, char** argv) {
  const char* dir = argc > 1 ? argv[1] : DKSCR_CORPUS_DIR;
  if (argc > 2) seconds = atof(argv[2]);
  const int only = argc > 3 ? atoi(argv[3]) : 0;
  if (only < 0 || only > kMaxThreads) {
    fprintf(stderr, "threads: 1 to %d\n", kMaxThreads);
    return 2;
  }
  DIR* d = opendir(dir);
  if (!d) {
    fprintf(stderr, "no corpus at %s\n", dir);
    return 1;
  }
  struct dirent* e;
  while ((e = readdir(d)) != NULL && count < kMaxFiles) {
    const char* dot = strrchr(e->d_name, '.');
    if (!dot || (strcmp(dot, ".ppt") != 0 && strcmp(dot, ".pptx") != 0)) continue;
    const size_t n = strlen(dir) + strlen(e->d_name) + 2;
    paths[count] = malloc(n);
    snprintf(paths[count], n, "%s/%s", dir, e->d_name);
    ++count;
  }
  closedir(d);
  dkscr_options options;
  init_options(&options);
  size_t failing = 0;
  for (size_t i = 0; i < count; ++i) {
    expected[i] = convert(paths[i], &options);
    if (expected[i].code < 0) ++failing;
  }
  printf("%zu files (%zu refused, e.g. damaged or protected), %.1f s per run, libdeckscribe %s\n",
         count, failing, seconds, dkscr_version());
  if (only > 0) {
    double per_cpu;
    rate(only, &per_cpu);
  } else {
    double one_cpu, two_cpu;
    const double one = rate(1, &one_cpu), two = rate(2, &two_cpu);
    printf("speed-up with 2 threads: x%.2f (per CPU-second: x%.2f)\n", two / one,
           two_cpu / one_cpu);
  }
  for (size_t i = 0; i < count; ++i) free(paths[i]);
  return 0;
}
