/* Conversions per second through the C interface on the corpus's presentations, with 1 and
 * with 2 threads in one process: each thread walks the whole list, from files on disk, until
 * the time is up. Usage: bench_api_threads [corpus-dir [seconds]] */
#define _POSIX_C_SOURCE 200809L
#include <deckscribe/deckscribe.h>
#include <dirent.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { kMaxFiles = 256, kMaxThreads = 8 };

static char* paths[kMaxFiles];
static size_t count = 0;
static double seconds = 3.0;

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

typedef struct {
  double until;
  long conversions;
  double cpu; /* seconds this thread ran */
} job;

static double thread_cpu(void) {
  struct timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static void* run(void* arg) {
  job* j = arg;
  dkscr_options options;
  dkscr_options_init(&options);
  options.code_page = 65001;
  const double cpu_start = thread_cpu();
  while (now() < j->until) {
    for (size_t i = 0; i < count; ++i) {
      unsigned char* text = NULL;
      size_t size = 0;
      dkscr_convert_file(paths[i], &options, &text, &size);
      dkscr_free(text);
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
    pthread_create(&ids[t], NULL, run, &jobs[t]);
  }
  long total = 0;
  double cpu = 0;
  for (int t = 0; t < threads; ++t) {
    pthread_join(ids[t], NULL);
    total += jobs[t].conversions;
    cpu += jobs[t].cpu;
  }
  const double wall = now() - start;
  *per_cpu = (double)total / cpu;
  printf("%d thread(s): %8.1f conversions/s, %8.1f per CPU-second, %.2f CPUs used\n", threads,
         (double)total / wall, *per_cpu, cpu / wall);
  return (double)total / wall;
}

int main(int argc, char** argv) {
  const char* dir = argc > 1 ? argv[1] : DKSCR_CORPUS_DIR;
  if (argc > 2) seconds = atof(argv[2]);
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
  printf("%zu files, %.1f s per run, libdeckscribe %s\n", count, seconds, dkscr_version());
  double one_cpu, two_cpu;
  const double one = rate(1, &one_cpu), two = rate(2, &two_cpu);
  printf("speed-up with 2 threads: x%.2f (per CPU-second: x%.2f)\n", two / one, two_cpu / one_cpu);
  for (size_t i = 0; i < count; ++i) free(paths[i]);
  return 0;
}
