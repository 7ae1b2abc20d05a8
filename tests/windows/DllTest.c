/* deckscribe.dll from C through its import library: a file named in UTF-8 (with letters
 * beyond ASCII) converts to the same bytes as the file's contents held in memory, and gives
 * the same document properties. */
#include <deckscribe/deckscribe.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static int failures = 0;
#define CHECK(cond)                                                    \
  do {                                                                 \
    if (!(cond)) {                                                     \
      ++failures;                                                      \
      fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #cond);       \
    }                                                                  \
  } while (0)

int main(void) {
  static unsigned char package[1 << 20];
  FILE* in = fopen(SAMPLES "/sample.pptx", "rb");
  CHECK(in != NULL);
  if (in == NULL) return 1;
  const size_t size = fread(package, 1, sizeof package, in);
  fclose(in);

  /* A copy under a name in Cyrillic and Japanese, reached by its UTF-8 spelling. */
  wchar_t folder[MAX_PATH];
  CHECK(GetTempPathW(MAX_PATH, folder) > 0);
  wchar_t wide[MAX_PATH + 32];
  swprintf(wide, MAX_PATH + 32, L"%ls\x0434\x0435\x043a-\x65e5-%lu.pptx", folder, GetCurrentProcessId());
  FILE* out = _wfopen(wide, L"wb");
  CHECK(out != NULL);
  if (out == NULL) return 1;
  fwrite(package, 1, size, out);
  fclose(out);
  char utf8[4 * (MAX_PATH + 32)];
  CHECK(WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, NULL, NULL) > 0);

  dkscr_options options;
  dkscr_options_init(&options);
  options.code_page = 1200;
  unsigned char* fromFile = NULL;
  unsigned char* fromMemory = NULL;
  size_t fileSize = 0, memorySize = 0;
  const int32_t fileResult = dkscr_convert_file(utf8, &options, &fromFile, &fileSize);
  const int32_t memoryResult = dkscr_convert_memory(package, size, &options, &fromMemory, &memorySize);
  CHECK(fileResult > 2);
  CHECK(fileResult == memoryResult);
  CHECK(fileSize == memorySize && fromFile && fromMemory && memcmp(fromFile, fromMemory, fileSize) == 0);
  dkscr_free(fromFile);
  dkscr_free(fromMemory);
  CHECK(dkscr_convert_file("no such file.pptx", &options, &fromFile, &fileSize) == DKSCR_ERROR_MISSING);
  /* The document's properties alone, by the same name and from memory. */
  CHECK(dkscr_metadata_file(utf8, NULL, &fromFile, &fileSize) >= 3);
  CHECK(dkscr_metadata_memory(package, size, NULL, &fromMemory, &memorySize) >= 3);
  CHECK(fileSize == memorySize && fromFile && fromMemory && memcmp(fromFile, fromMemory, fileSize) == 0);
  dkscr_free(fromFile);
  dkscr_free(fromMemory);
  DeleteFileW(wide);
  return failures == 0 ? 0 : 1;
}
