// spawn_timer RUNS PASSES -- COMMAND A... -- COMMAND B...
// Starts A and B in turn RUNS times per pass, so that a change in the machine's load touches
// both alike, with standard output and error sent to /dev/null.
// Prints the median over the passes of the wall-clock time per run of each, and B / A.
#define _GNU_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

static double Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

// Seconds of one run of `argv`, from its start to its end.
static double TimeRun(char** argv, posix_spawn_file_actions_t* actions) {
  const double start = Now();
  pid_t pid;
  if (posix_spawn(&pid, argv[0], actions, NULL, argv, environ) != 0) {
    perror(argv[0]);
    exit(2);
  }
  int status;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return Now() - start;
}

static int Compare(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return x < y ? -1 : x > y;
}

int main(int argc, char** argv) {
  if (argc < 6 || strcmp(argv[3], "--") != 0) {
    fprintf(stderr, "usage: %s RUNS PASSES -- COMMAND A... -- COMMAND B...\n", argv[0]);
    return 2;
  }
  const int runs = atoi(argv[1]), passes = atoi(argv[2]);
  char** a = argv + 4;
  char** b = NULL;
  for (int i = 4; i < argc; ++i) {
    if (strcmp(argv[i], "--") == 0) {
      argv[i] = NULL;
      b = argv + i + 1;
      break;
    }
  }
  if (b == NULL || *b == NULL || runs < 1 || passes < 1) {
    fprintf(stderr, "two commands are needed\n");
    return 2;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  double* ta = calloc((size_t)passes, sizeof *ta);
  double* tb = calloc((size_t)passes, sizeof *tb);
  for (int i = 0; i < runs / 10 + 1; ++i) {  // warm the page cache
    TimeRun(a, &actions);
    TimeRun(b, &actions);
  }
  for (int p = 0; p < passes; ++p) {
    for (int i = 0; i < runs; ++i) {
      ta[p] += TimeRun(a, &actions) / runs;
      tb[p] += TimeRun(b, &actions) / runs;
    }
  }
  qsort(ta, (size_t)passes, sizeof *ta, Compare);
  qsort(tb, (size_t)passes, sizeof *tb, Compare);
  const double ma = ta[passes / 2], mb = tb[passes / 2];
  printf("A %-50s %8.1f us/run (median of %d passes of %d runs)\n", a[0], ma * 1e6, passes, runs);
  printf("B %-50s %8.1f us/run\n", b[0], mb * 1e6);
  printf("ratio B / A: %.3f\n", mb / ma);
  free(ta);
  free(tb);
  return 0;
}
