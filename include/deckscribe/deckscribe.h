/* Deckscribe: the text of PowerPoint presentations (.ppt and .pptx), in-process.
 *
 * Each call converts one presentation, from a file or from memory, into text in the code page
 * asked for, with CR LF line breaks, or into one of the other forms (mode); the bytes are those
 * the console program dkscrcmd writes with the same options.
 * Calls share no mutable state: any number may run at once on different threads. */
#ifndef DECKSCRIBE_DECKSCRIBE_H
#define DECKSCRIBE_DECKSCRIBE_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
/* deckscribe.dll exports the functions; a program linking libdeckscribe.a defines DKSCR_STATIC. */
#if defined(DKSCR_BUILDING_DLL)
#define DKSCR_API __declspec(dllexport)
#elif defined(DKSCR_STATIC)
#define DKSCR_API
#else
#define DKSCR_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define DKSCR_API __attribute__((visibility("default")))
#else
#define DKSCR_API
#endif

/* The version of this header, the same as dkscr_version() gives for the library it came with:
   "major.minor.patch". */
#define DKSCR_VERSION_MAJOR 0
#define DKSCR_VERSION_MINOR 1
#define DKSCR_VERSION_PATCH 0
#define DKSCR_VERSION_STRING "0.1.0"

#ifdef __cplusplus
extern "C" {
#endif

/* Presentation types. */
#define DKSCR_TYPE_AUTO 0 /* by the file's content (compound document or ZIP package) */
#define DKSCR_TYPE_PPT 1  /* binary presentation, as dkscrcmd -tppt */
#define DKSCR_TYPE_PPTX 2 /* Open XML presentation, as dkscrcmd -tpptx */

/* Output forms, as dkscrcmd -m. */
#define DKSCR_MODE_TEXT 0     /* the text dkscrcmd writes by default, in the code page */
#define DKSCR_MODE_FULL 1     /* slide by slide with tables, notes, comments; in the code page */
#define DKSCR_MODE_MARKDOWN 2 /* Markdown, UTF-8 whatever the code page */
#define DKSCR_MODE_JSON 3     /* {"slides": [...]}, UTF-8 without byte-order mark */

/* Result codes: zero or more is the byte length of the text, negative an error. */
#define DKSCR_ERROR_MISSING (-2)     /* the file does not exist, or is a folder */
#define DKSCR_ERROR_TYPE (-3)        /* the type or mode is none of DKSCR_TYPE_* or DKSCR_MODE_* */
#define DKSCR_ERROR_OPEN (-4)        /* the source cannot be opened */
#define DKSCR_ERROR_FORMAT (-5)      /* not a presentation of the type, or damaged */
#define DKSCR_ERROR_ENCRYPTED (-11)  /* the presentation is encrypted */
#define DKSCR_ERROR_ARGUMENT (-12)   /* a required pointer is NULL, or the code page is not served */
#define DKSCR_ERROR_MEMORY (-13)     /* memory ran out during the conversion */

typedef struct dkscr_options {
  /* 0: the character set of the calling program's locale (LC_CTYPE), as dkscrcmd's -c0;
     65001 UTF-8 and 1200 UTF-16LE, both with a byte-order mark; any Windows code page the
     platform serves (any other gives DKSCR_ERROR_ARGUMENT, whatever the mode). */
  int32_t code_page;
  /* DKSCR_TYPE_AUTO, DKSCR_TYPE_PPT or DKSCR_TYPE_PPTX. */
  int32_t type;
  /* DKSCR_MODE_TEXT, DKSCR_MODE_FULL, DKSCR_MODE_MARKDOWN or DKSCR_MODE_JSON. */
  int32_t mode;
  /* Room for options to come; dkscr_options_init sets them to their defaults. */
  int32_t reserved[13];
} dkscr_options;

/* Every field to its default: code page 0, DKSCR_TYPE_AUTO, DKSCR_MODE_TEXT. */
DKSCR_API void dkscr_options_init(dkscr_options* options);

/* Converts the presentation at `path` (the file system's bytes, as open() takes them; on
   Windows UTF-8, which is opened as UTF-16, so that any file name works).
   `options` may be NULL for the defaults, `size` may be NULL. On success *text is a block of
   the result's length plus one zero byte, to be freed with dkscr_free; on error it is NULL. */
DKSCR_API int32_t dkscr_convert_file(const char* path, const dkscr_options* options,
                                     unsigned char** text, size_t* size);

/* The same for a presentation held in memory (`data`, `size` bytes), read in place. */
DKSCR_API int32_t dkscr_convert_memory(const void* data, size_t size,
                                       const dkscr_options* options, unsigned char** text,
                                       size_t* text_size);

/* The document's properties alone, read without any slide: what DKSCR_MODE_JSON gives as its
   "metadata" member ({"title": ..., "author": ..., "custom": {...}}, only the properties the
   file has), as one line of UTF-8 JSON without byte-order mark. Of `options` only `type` is
   used. Results and *text as dkscr_convert_file gives them; a presentation whose slides are
   damaged still gives its properties. */
DKSCR_API int32_t dkscr_metadata_file(const char* path, const dkscr_options* options,
                                      unsigned char** text, size_t* size);

/* The same for a presentation held in memory (`data`, `size` bytes), read in place. */
DKSCR_API int32_t dkscr_metadata_memory(const void* data, size_t size,
                                        const dkscr_options* options, unsigned char** text,
                                        size_t* text_size);

/* Frees a text from dkscr_convert_file, dkscr_convert_memory, dkscr_metadata_file or
   dkscr_metadata_memory; NULL is allowed. */
DKSCR_API void dkscr_free(unsigned char* text);

/* The English text of a result code, as the console program words it without the file name
   ("Input file not exists", "Input file is encrypted", "Out of memory"; "OK" for zero or
   more); never NULL. */
DKSCR_API const char* dkscr_result_message(int32_t code);

/* The library's version, "major.minor.patch": DKSCR_VERSION_STRING of the header it was built
   with (a program may compare it with the header it was compiled against). */
DKSCR_API const char* dkscr_version(void);

#ifdef __cplusplus
}
#endif

#endif /* DECKSCRIBE_DECKSCRIBE_H */
