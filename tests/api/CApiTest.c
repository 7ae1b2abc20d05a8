/* The C interface from C: options, both types and every mode from files and memory, the
 * text's block and its freeing, the error codes a C caller meets, the document's properties
 * alone, and conversions on parallel threads giving what one thread gives. Every text is checked against dkscrcmd's bytes for the same file. */
#define _POSIX_C_SOURCE 200809L
#include <deckscribe/deckscribe.h>
#include <dirent.h>
#include <locale.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

/* Under AddressSanitizer the address space is the sanitizer's, and an allocation it cannot
   make ends the process instead of failing. */
#if defined(__SANITIZE_ADDRESS__)
#define UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UNDER_ASAN 1
#endif
#endif

static int failures = 0;
#define CHECK(cond, ...)                                              \
  do {                                                                \
    if (!(cond)) {                                                    \
      ++failures;                                                     \
      fprintf(stderr, "%s:%d: %s: ", __FILE__, __LINE__, #cond);      \
      fprintf(stderr, __VA_ARGS__);                                   \
      fputc('\n', stderr);                                            \
    }                                                                 \
  } while (0)

typedef struct {
  unsigned char* data;
  size_t size;
} bytes;

static bytes read_all(FILE* f) {
  bytes b = {NULL, 0};
  size_t capacity = 0;
  for (;;) {
    if (b.size == capacity) {
      capacity = capacity ? capacity * 2 : 65536;
      b.data = realloc(b.data, capacity);
      if (!b.data) abort();
    }
    const size_t n = fread(b.data + b.size, 1, capacity - b.size, f);
    if (n == 0) break;
    b.size += n;
  }
  return b;
}

static bytes read_file(const char* path) {
  FILE* f = fopen(path, "rb");
  bytes b = {NULL, 0};
  if (f) {
    b = read_all(f);
    fclose(f);
  }
  return b;
}

/* The modes as dkscrcmd's -m names them, by DKSCR_MODE_* value. */
static const char* const mode_flags[] = {"", "-mfull", "-mmd", "-mjson"};

/* dkscrcmd's text of a file to standard output, and its exit code as a result code. */
static int32_t dkscrcmd_text(const char* path, int32_t code_page, int32_t mode, const char* type,
                             bytes* text) {
  char command[4096];
  if (strchr(path, '\'') != NULL) abort();
  snprintf(command, sizeof command, "'%s' %s %s -c%d '%s' '*'", DKSCRCMD, type,
           mode_flags[mode], (int)code_page, path);
  FILE* pipe = popen(command, "r");
  if (!pipe) abort();
  *text = read_all(pipe);
  const int status = pclose(pipe);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 999;
  return code > 127 ? code - 256 : code;
}

static int same(const unsigned char* a, size_t a_size, const bytes* b) {
  return a_size == b->size && (a_size == 0 || memcmp(a, b->data, a_size) == 0);
}

/* ---- options, messages, version ---- */

static void test_options_and_messages(void) {
  dkscr_options options;
  memset(&options, 0x5A, sizeof options);
  dkscr_options_init(&options);
  CHECK(options.code_page == 0, "code page %d", (int)options.code_page);
  CHECK(options.type == DKSCR_TYPE_AUTO, "type %d", (int)options.type);
  CHECK(options.mode == DKSCR_MODE_TEXT, "mode %d", (int)options.mode);
  CHECK(sizeof options == 16 * sizeof(int32_t), "the options grew to %zu bytes", sizeof options);
  for (size_t i = 0; i < sizeof options.reserved / sizeof options.reserved[0]; ++i) {
    CHECK(options.reserved[i] == 0, "reserved[%zu] = %d", i, (int)options.reserved[i]);
  }
  /* The header's version is the library's and the project's, in numbers and as a string. */
  CHECK(strcmp(dkscr_version(), DKSCR_EXPECTED_VERSION) == 0, "version %s", dkscr_version());
  CHECK(strcmp(DKSCR_VERSION_STRING, dkscr_version()) == 0, "header %s, library %s",
        DKSCR_VERSION_STRING, dkscr_version());
  char numbers[64];
  snprintf(numbers, sizeof numbers, "%d.%d.%d", DKSCR_VERSION_MAJOR, DKSCR_VERSION_MINOR,
           DKSCR_VERSION_PATCH);
  CHECK(strcmp(numbers, dkscr_version()) == 0, "header numbers %s, library %s", numbers,
        dkscr_version());
#if !(DKSCR_VERSION_MAJOR >= 0 && DKSCR_VERSION_MINOR >= 0 && DKSCR_VERSION_PATCH >= 0)
#error "the version numbers must be usable in #if"
#endif

  /* The console's texts without the file name; codes of no meaning read as damage. */
  static const struct {
    int32_t code;
    const char* text;
  } messages[] = {
      {0, "OK"},
      {1234, "OK"},
      {-1, "Convert dll file load error"},
      {DKSCR_ERROR_MISSING, "Input file not exists"},
      {DKSCR_ERROR_TYPE, "Input file type not support"},
      {DKSCR_ERROR_OPEN, "Input file open error"},
      {DKSCR_ERROR_FORMAT, "Input file format not correct"},
      {-6, "Output file create error"},
      {-7, "Output file write error"},
      {DKSCR_ERROR_ENCRYPTED, "Input file is encrypted"},
      {DKSCR_ERROR_ARGUMENT, "Invalid argument"},
      {DKSCR_ERROR_MEMORY, "Out of memory"},
      {-99, "Input file format not correct"},
  };
  CHECK(DKSCR_ERROR_MISSING == -2 && DKSCR_ERROR_TYPE == -3 && DKSCR_ERROR_OPEN == -4 &&
            DKSCR_ERROR_FORMAT == -5 && DKSCR_ERROR_ENCRYPTED == -11 &&
            DKSCR_ERROR_ARGUMENT == -12 && DKSCR_ERROR_MEMORY == -13,
        "a result code changed its value");
  for (size_t i = 0; i < sizeof messages / sizeof messages[0]; ++i) {
    CHECK(strcmp(dkscr_result_message(messages[i].code), messages[i].text) == 0, "code %d: %s",
          (int)messages[i].code, dkscr_result_message(messages[i].code));
  }
}

/* ---- memory running out ---- */

#ifdef UNDER_ASAN
static void test_out_of_memory(void) { printf("out of memory: not tried under AddressSanitizer\n"); }
#else
static uint32_t crc32_of(const unsigned char* p, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

static unsigned char* put16(unsigned char* p, uint32_t v) {
  p[0] = (unsigned char)(v & 0xFF);
  p[1] = (unsigned char)((v >> 8) & 0xFF);
  return p + 2;
}

static unsigned char* put32(unsigned char* p, uint32_t v) { return put16(put16(p, v & 0xFFFF), v >> 16); }

/* A package of one slide holding `letters` letters, stored rather than deflated: converting it
   needs several times its size in memory, whatever the budgets allow for packages. */
static bytes large_package(size_t letters) {
  static const char head[] = "<p:sld><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>";
  static const char tail[] = "</a:t></a:r></a:p></p:txBody></p:sp></p:spTree></p:cSld></p:sld>";
  const size_t xml_size = sizeof head - 1 + letters + sizeof tail - 1;
  unsigned char* xml = malloc(xml_size);
  if (!xml) abort();
  memcpy(xml, head, sizeof head - 1);
  memset(xml + sizeof head - 1, 'x', letters);
  memcpy(xml + sizeof head - 1 + letters, tail, sizeof tail - 1);
  const struct {
    const char* name;
    const unsigned char* data;
    uint32_t size;
  } entries[] = {{"[Content_Types].xml", (const unsigned char*)"<Types/>", 8},
                 {"ppt/slides/slide1.xml", xml, (uint32_t)xml_size}};
  enum { kEntries = sizeof entries / sizeof entries[0] };
  bytes zip = {NULL, 22};
  for (size_t i = 0; i < kEntries; ++i) zip.size += 30 + 46 + 2 * strlen(entries[i].name) + entries[i].size;
  zip.data = malloc(zip.size);
  if (!zip.data) abort();
  uint32_t crcs[kEntries], offsets[kEntries];
  unsigned char* p = zip.data;
  for (size_t i = 0; i < kEntries; ++i) { /* local header: version, flags, method 0, time, date */
    const uint32_t name_size = (uint32_t)strlen(entries[i].name);
    crcs[i] = crc32_of(entries[i].data, entries[i].size);
    offsets[i] = (uint32_t)(p - zip.data);
    p = put32(put16(put16(put16(put32(p, 0x04034b50), 20), 0), 0), 0);
    p = put16(put16(put32(put32(put32(p, crcs[i]), entries[i].size), entries[i].size), name_size), 0);
    memcpy(p, entries[i].name, name_size);
    memcpy(p + name_size, entries[i].data, entries[i].size);
    p += name_size + entries[i].size;
  }
  unsigned char* const central = p;
  for (size_t i = 0; i < kEntries; ++i) {
    const uint32_t name_size = (uint32_t)strlen(entries[i].name);
    p = put32(put16(put16(put16(put16(put32(p, 0x02014b50), 20), 20), 0), 0), 0);
    p = put16(put16(put32(put32(put32(p, crcs[i]), entries[i].size), entries[i].size), name_size), 0);
    p = put32(put32(put16(put16(put16(p, 0), 0), 0), 0), offsets[i]); /* comment, disk, attributes */
    memcpy(p, entries[i].name, name_size);
    p += name_size;
  }
  const uint32_t central_size = (uint32_t)(p - central), central_at = (uint32_t)(central - zip.data);
  p = put16(put32(put32(put16(put16(put16(put16(put32(p, 0x06054b50), 0), 0), kEntries), kEntries),
                        central_size), central_at), 0);
  if ((size_t)(p - zip.data) != zip.size) abort();
  free(xml);
  return zip;
}

/* The pages this process has mapped, in bytes. */
static rlim_t mapped_bytes(void) {
  unsigned long pages = 0;
  FILE* f = fopen("/proc/self/statm", "r");
  if (!f || fscanf(f, "%lu", &pages) != 1) abort();
  fclose(f);
  return (rlim_t)pages * (rlim_t)sysconf(_SC_PAGESIZE);
}

static void test_out_of_memory(void) {
  const size_t letters = (size_t)24 << 20;
  bytes zip = large_package(letters);
  dkscr_options options;
  dkscr_options_init(&options);
  options.code_page = 65001;
  unsigned char* text = NULL;
  size_t size = 0;

  /* A child whose address space may grow by 16 MiB only: the conversion must fail with the
     code of its own, and no text, and the process must live on. It runs first, before any
     large block of this process is freed and kept for reuse. */
  fflush(NULL);
  const pid_t child = fork();
  if (child == 0) {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    struct rlimit limit;
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = mapped_bytes() + ((rlim_t)16 << 20);
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(100);
    text = (unsigned char*)&options; /* must come back NULL */
    const int32_t code = dkscr_convert_memory(zip.data, zip.size, &options, &text, &size);
    _exit(code < 0 && code > -100 && text == NULL ? -code : 101);
  }
  int status = 0;
  CHECK(child > 0 && waitpid(child, &status, 0) == child, "no child");
  CHECK(WIFEXITED(status) && WEXITSTATUS(status) == -DKSCR_ERROR_MEMORY,
        "out of memory: exit status %d (the negated code; 101 success or text kept), signal %d",
        WIFEXITED(status) ? WEXITSTATUS(status) : -1, WIFSIGNALED(status) ? WTERMSIG(status) : 0);

  /* With memory enough the same package converts: memory alone made the difference. */
  const int32_t code = dkscr_convert_memory(zip.data, zip.size, &options, &text, &size);
  CHECK(code == (int32_t)(3 + strlen("slide1:\r\n") + letters + 2), "with memory enough: %d", (int)code);
  dkscr_free(text);
  free(zip.data);
}
#endif

/* ---- errors a C caller meets ---- */

/* The call first, then its outputs: arguments of one call are evaluated in any order. */
#define EXPECT_FAILURE(call, want, what)                                      \
  do {                                                                        \
    text = (unsigned char*)&failures; /* must come back NULL */               \
    size = 77;                                                                \
    const int32_t got = (call);                                               \
    CHECK(got == (want), "%s: result %d, want %d", what, (int)got, (int)(want)); \
    CHECK(text == NULL && size == 0, "%s: text or size left set", what);      \
  } while (0)

static void test_errors(const char* scratch) {
  unsigned char* text = NULL;
  size_t size = 0;
  dkscr_options options;
  dkscr_options_init(&options);

  EXPECT_FAILURE(dkscr_convert_file("/nonexistent-dir/none.pptx", NULL, &text, &size),
                 DKSCR_ERROR_MISSING, "missing file");
  EXPECT_FAILURE(dkscr_convert_file(scratch, NULL, &text, &size), DKSCR_ERROR_MISSING, "folder");
  EXPECT_FAILURE(dkscr_convert_file(NULL, NULL, &text, &size), DKSCR_ERROR_ARGUMENT, "no path");
  CHECK(dkscr_convert_file(SAMPLES "/sample.ppt", NULL, NULL, &size) == DKSCR_ERROR_ARGUMENT,
        "no text pointer");
  EXPECT_FAILURE(dkscr_convert_memory(NULL, 10, NULL, &text, &size),
                 DKSCR_ERROR_ARGUMENT, "no data");

  /* A code page that gives no text (or garbage from an options struct never initialised) is
     an error, not an empty success, whatever the mode. */
  options.code_page = 42;
  EXPECT_FAILURE(dkscr_convert_file(SAMPLES "/sample.ppt", &options, &text, &size),
                 DKSCR_ERROR_ARGUMENT, "code page 42");
  options.mode = DKSCR_MODE_JSON;
  options.code_page = -1234567;
  EXPECT_FAILURE(dkscr_convert_memory("x", 1, &options, &text, &size), DKSCR_ERROR_ARGUMENT,
                 "garbage code page");
  dkscr_options_init(&options);

  options.type = 7;
  EXPECT_FAILURE(dkscr_convert_file(SAMPLES "/sample.ppt", &options, &text, &size),
                 DKSCR_ERROR_TYPE, "unknown type");

  options.type = DKSCR_TYPE_AUTO;
  static const int32_t bad_modes[] = {-1, DKSCR_MODE_JSON + 1};
  for (size_t i = 0; i < sizeof bad_modes / sizeof bad_modes[0]; ++i) {
    options.mode = bad_modes[i];
    EXPECT_FAILURE(dkscr_convert_file(SAMPLES "/sample.ppt", &options, &text, &size),
                   DKSCR_ERROR_TYPE, "unknown mode");
    EXPECT_FAILURE(dkscr_convert_memory("x", 1, &options, &text, &size), DKSCR_ERROR_TYPE,
                   "unknown mode in memory");
  }
  options.mode = DKSCR_MODE_TEXT;

  /* Forcing the other type behaves like dkscrcmd -t: the content does not fit. */
  options.type = DKSCR_TYPE_PPTX;
  EXPECT_FAILURE(dkscr_convert_file(SAMPLES "/sample.ppt", &options, &text, &size),
                 DKSCR_ERROR_FORMAT, "ppt as pptx");
  options.type = DKSCR_TYPE_PPT;
  EXPECT_FAILURE(dkscr_convert_file(SAMPLES "/sample.pptx", &options, &text, &size),
                 DKSCR_ERROR_FORMAT, "pptx as ppt");

  static const char garbage[] = "neither a compound document nor a ZIP package";
  for (int32_t type = DKSCR_TYPE_AUTO; type <= DKSCR_TYPE_PPTX; ++type) {
    options.type = type;
    EXPECT_FAILURE(dkscr_convert_memory(garbage, sizeof garbage, &options, &text, &size),
                   DKSCR_ERROR_FORMAT, "garbage in memory");
    EXPECT_FAILURE(dkscr_convert_memory(NULL, 0, &options, &text, &size),
                   DKSCR_ERROR_FORMAT, "nothing in memory");
  }
}

/* ---- texts: file, memory, dkscrcmd ---- */

static void check_one(const char* path, int32_t code_page, int32_t mode) {
  bytes expected;
  int32_t want = dkscrcmd_text(path, code_page, mode, "", &expected);
  if (want == DKSCR_ERROR_TYPE) {
    /* An extension dkscrcmd does not know (.pptm, .ppsx): it converts when told the type. */
    free(expected.data);
    want = dkscrcmd_text(path, code_page, mode, "-tpptx", &expected);
  }
  dkscr_options options;
  dkscr_options_init(&options);
  options.code_page = code_page;
  options.mode = mode;

  unsigned char* text = NULL;
  size_t size = 0;
  const int32_t got = dkscr_convert_file(path, &options, &text, &size);
  if (want == 0) {
    CHECK(got >= 0 && (size_t)got == size, "%s -c%d %s: result %d size %zu", path,
          (int)code_page, mode_flags[mode], (int)got, size);
    CHECK(got < 0 || same(text, size, &expected), "%s -c%d %s: text differs from dkscrcmd's",
          path, (int)code_page, mode_flags[mode]);
    CHECK(got < 0 || text[size] == 0, "%s: no zero byte after the text", path);
  } else {
    CHECK(got == want, "%s: result %d, dkscrcmd %d", path, (int)got, (int)want);
  }

  bytes file = read_file(path);
  unsigned char* in_memory = NULL;
  size_t memory_size = 0;
  const int32_t from_memory =
      dkscr_convert_memory(file.data, file.size, &options, &in_memory, NULL);
  if (from_memory >= 0) memory_size = (size_t)from_memory;
  CHECK(from_memory == got, "%s %s: memory gives %d, file %d", path, mode_flags[mode],
        (int)from_memory, (int)got);
  CHECK(got < 0 || (memory_size == size && memcmp(in_memory, text, size) == 0),
        "%s %s: memory text differs", path, mode_flags[mode]);
  dkscr_free(in_memory);
  dkscr_free(text);
  free(file.data);
  free(expected.data);
}

/* ---- the document's properties alone ---- */

/* The properties of a file, from the file and from memory, are the "metadata" member of
   dkscrcmd's JSON form, byte for byte; an encrypted file fails as that form does. */
static void check_metadata(const char* path) {
  bytes json;
  int32_t want = dkscrcmd_text(path, 0, DKSCR_MODE_JSON, "", &json);
  dkscr_options options;
  dkscr_options_init(&options);
  if (want == DKSCR_ERROR_TYPE) {
    free(json.data);
    want = dkscrcmd_text(path, 0, DKSCR_MODE_JSON, "-tpptx", &json);
    options.type = DKSCR_TYPE_PPTX;
  }
  options.mode = 99; /* neither the mode nor the code page counts */
  options.code_page = 42;
  unsigned char* text = NULL;
  size_t size = 0;
  const int32_t got = dkscr_metadata_file(path, &options, &text, &size);
  if (want == 0) {
    CHECK(got > 0 && (size_t)got == size && text[size] == 0 && text[size - 1] == '\n',
          "%s: metadata result %d size %zu", path, (int)got, size);
    if (got > 0) {
      /* "metadata":{...},"sections": with the object as given, less its line break. */
      const size_t member_size = 11 + size - 1 + 12;
      char* member = malloc(member_size + 1);
      if (!member) abort();
      memcpy(member, "\"metadata\":", 11);
      memcpy(member + 11, text, size - 1);
      memcpy(member + 11 + size - 1, ",\"sections\":", 13);
      CHECK(json.size > 0 && strstr((const char*)json.data, member) != NULL,
            "%s: metadata %.*s is not the JSON form's", path, (int)size, (const char*)text);
      free(member);
    }
  } else if (want == DKSCR_ERROR_ENCRYPTED) {
    CHECK(got == want, "%s: metadata result %d, dkscrcmd %d", path, (int)got, (int)want);
  }
  bytes file = read_file(path);
  unsigned char* in_memory = NULL;
  size_t memory_size = 0;
  const int32_t from_memory = dkscr_metadata_memory(file.data, file.size, &options, &in_memory, &memory_size);
  CHECK(from_memory == got, "%s: metadata from memory %d, from the file %d", path, (int)from_memory, (int)got);
  CHECK(got < 0 || (memory_size == size && memcmp(in_memory, text, size) == 0),
        "%s: metadata from memory differs", path);
  dkscr_free(in_memory);
  dkscr_free(text);
  free(file.data);
  free(json.data);
}

static void test_metadata_errors(void) {
  unsigned char* text = NULL;
  size_t size = 0;
  dkscr_options options;
  dkscr_options_init(&options);
  EXPECT_FAILURE(dkscr_metadata_file("/nonexistent-dir/none.pptx", NULL, &text, &size),
                 DKSCR_ERROR_MISSING, "metadata of a missing file");
  EXPECT_FAILURE(dkscr_metadata_file(NULL, NULL, &text, &size), DKSCR_ERROR_ARGUMENT,
                 "metadata without a path");
  CHECK(dkscr_metadata_memory("x", 1, NULL, NULL, &size) == DKSCR_ERROR_ARGUMENT,
        "metadata without a text pointer");
  options.type = 7;
  EXPECT_FAILURE(dkscr_metadata_file(SAMPLES "/sample.ppt", &options, &text, &size),
                 DKSCR_ERROR_TYPE, "metadata of an unknown type");
  options.type = DKSCR_TYPE_PPTX;
  EXPECT_FAILURE(dkscr_metadata_file(SAMPLES "/sample.ppt", &options, &text, &size),
                 DKSCR_ERROR_FORMAT, "metadata of a ppt as pptx");
  static const char garbage[] = "neither a compound document nor a ZIP package";
  options.type = DKSCR_TYPE_AUTO;
  EXPECT_FAILURE(dkscr_metadata_memory(garbage, sizeof garbage, &options, &text, &size),
                 DKSCR_ERROR_FORMAT, "metadata of garbage");
}

/* ---- threads ---- */

enum { kThreads = 4, kRounds = 3, kMaxFiles = 64 };

typedef struct {
  const char* const* paths;
  size_t count;
  const bytes* reference; /* one thread's texts, per path */
  int mismatches;
} thread_job;

static void* convert_all(void* arg) {
  thread_job* job = arg;
  for (int round = 0; round < kRounds; ++round) {
    for (size_t i = 0; i < job->count; ++i) {
      unsigned char* text = NULL;
      size_t size = 0;
      const int32_t result = dkscr_convert_file(job->paths[i], NULL, &text, &size);
      const bytes* want = &job->reference[i];
      if (result < 0 ? want->data != NULL : !same(text, size, want)) ++job->mismatches;
      dkscr_free(text);
    }
  }
  return NULL;
}

static void test_threads(const char* const* paths, size_t count) {
  bytes reference[kMaxFiles];
  for (size_t i = 0; i < count; ++i) {
    unsigned char* text = NULL;
    size_t size = 0;
    reference[i].data = NULL;
    reference[i].size = 0;
    if (dkscr_convert_file(paths[i], NULL, &text, &size) >= 0) {
      reference[i].data = text;
      reference[i].size = size;
    }
  }
  pthread_t threads[kThreads];
  thread_job jobs[kThreads];
  for (int t = 0; t < kThreads; ++t) {
    jobs[t].paths = paths;
    jobs[t].count = count;
    jobs[t].reference = reference;
    jobs[t].mismatches = 0;
    CHECK(pthread_create(&threads[t], NULL, convert_all, &jobs[t]) == 0, "thread %d", t);
  }
  for (int t = 0; t < kThreads; ++t) {
    pthread_join(threads[t], NULL);
    CHECK(jobs[t].mismatches == 0, "thread %d: %d texts differ from one thread's", t,
          jobs[t].mismatches);
  }
  for (size_t i = 0; i < count; ++i) dkscr_free(reference[i].data);
}

int main(int argc, char** argv) {
  const char* scratch = argc > 1 ? argv[1] : "/tmp";
  setlocale(LC_CTYPE, ""); /* code page 0 follows the locale, as in dkscrcmd */
  static char names[kMaxFiles][1024];
  const char* paths[kMaxFiles];
  size_t count = 0;
  paths[count++] = SAMPLES "/sample.ppt";
  paths[count++] = SAMPLES "/sample.pptx";
  DIR* corpus = opendir(CORPUS);
  if (corpus) {
    struct dirent* e;
    while ((e = readdir(corpus)) != NULL && count < kMaxFiles) {
      if (e->d_name[0] == '.' || strstr(e->d_name, ".md") != NULL) continue;
      snprintf(names[count], sizeof names[count], "%s/%s", CORPUS, e->d_name);
      paths[count] = names[count];
      ++count;
    }
    closedir(corpus);
  } else {
    printf("corpus %s absent: samples only\n", CORPUS);
  }

  test_out_of_memory(); /* first: this process has freed no large block yet */
  test_options_and_messages();
  test_errors(scratch);
  test_metadata_errors();
  static const int32_t code_pages[] = {65001, 1200, 1252, 0};
  for (size_t i = 0; i < count; ++i) {
    for (size_t c = 0; c < sizeof code_pages / sizeof code_pages[0]; ++c) {
      check_one(paths[i], code_pages[c], DKSCR_MODE_TEXT);
    }
    /* The other forms: full in two code pages, Markdown and JSON (UTF-8 whatever it is). */
    check_one(paths[i], 65001, DKSCR_MODE_FULL);
    check_one(paths[i], 1252, DKSCR_MODE_FULL);
    check_one(paths[i], 1200, DKSCR_MODE_MARKDOWN);
    check_one(paths[i], 0, DKSCR_MODE_JSON);
    check_metadata(paths[i]);
  }
  test_threads(paths, count);
  printf("%zu files; %d failures\n", count, failures);
  return failures == 0 ? 0 : 1;
}
