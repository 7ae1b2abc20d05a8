#pragma once
// The output forms of the slide model and the one entry every front end calls per form.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/SlideMode.h"
#include "model/SlideModel.h"
#include "platform/OutputBuffer.h"
#include "platform/ResultCodes.h"

namespace dkscr {

// The forms as UTF-8; the complete text with LF line breaks, before encoding.
std::string CompleteText(const SlideDeck& deck);
std::string MarkdownText(const SlideDeck& deck);
std::string JsonText(const SlideDeck& deck);

// Puts the deck in the requested form into the buffer and returns its byte length (or -5 when
// memory runs out or the form would pass the deck's outputBound). kFull is encoded for the code page with CR LF line breaks, as the
// converters' text is; kMarkdown and kJson are UTF-8 whatever the code page. kText has no form
// of its own here and gives -5.
ResultCode EncodeSlides(const SlideDeck& deck, SlideMode mode, int32_t codePage,
                        OutputBuffer& output);

}  // namespace dkscr
