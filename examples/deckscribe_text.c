/* Prints the text of each presentation named on the command line, in UTF-8.
 *
 *   cc deckscribe_text.c $(pkg-config --cflags --libs deckscribe) -o deckscribe_text
 *   ./deckscribe_text talk.pptx notes.ppt
 */
#include <deckscribe/deckscribe.h>
#include <stdio.h>

int main(int argc, char** argv) {
  dkscr_options options;
  int failures = 0;
  dkscr_options_init(&options);
  options.code_page = 65001; /* UTF-8 with a byte-order mark */
  for (int i = 1; i < argc; ++i) {
    unsigned char* text = NULL;
    size_t size = 0;
    const int32_t result = dkscr_convert_file(argv[i], &options, &text, &size);
    if (result < 0) {
      fprintf(stderr, "%s: %s (%d)\n", argv[i], dkscr_result_message(result), (int)result);
      ++failures;
      continue;
    }
    /* Skip the byte-order mark: the text follows another one's. */
    const size_t skip = size >= 3 ? 3 : 0;
    fwrite(text + skip, 1, size - skip, stdout);
    dkscr_free(text);
  }
  return failures == 0 ? 0 : 1;
}
