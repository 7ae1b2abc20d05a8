#include "app/session/TargetConverter.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "app/session/AppState.h"
#include "app/session/TargetFile.h"
#include "convert/Convert.h"
#include "tools/ConvertToTarget.h"
#include "platform/NativePath.h"

namespace dkscr {
namespace {

bool Blank(char32_t c) { return c <= 0x20 || c == 0xFEFF; }

// The text forms: a byte-order mark, then nothing but blanks and control characters. Every
// code page keeps ASCII's blanks as single bytes below 0x80, and no lead byte of a double-byte
// code page lies there, so a byte check suffices outside UTF-16.
bool BlankText(std::string_view bytes, int32_t codePage) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const bool le = bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE;
  const bool be = bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF;
  if (le || be || codePage == 1200 || codePage == 1201) {
    const bool little = le || (!be && codePage == 1200);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const char32_t unit = little ? (byte(i) | byte(i + 1) << 8) : (byte(i) << 8 | byte(i + 1));
      if (!Blank(unit)) return false;
    }
    return true;
  }
  size_t i = bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF ? 3 : 0;
  for (; i < bytes.size(); ++i)
    if (!Blank(byte(i))) return false;
  return true;
}

// Markdown: only the headings every slide gets ("## 3." and maybe " (hidden)").
bool BlankMarkdown(std::string_view text) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    if (line.substr(0, 3) != "## ") return false;
    line.remove_prefix(3);
    const size_t digits = line.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string_view::npos || line[digits] != '.') return false;
    line.remove_prefix(digits + 1);
    if (!line.empty() && line != " (hidden)") return false;
  }
  return true;
}

// JSON: every string that is a slide's text is empty. Names, kinds, ids, targets, the
// document's properties and its section names describe the deck; they are not its text.
bool DescribesTheDeck(std::string_view key) {
  static constexpr std::string_view kKeys[] = {
      "schema", "metadata", "sections", "id", "layout", "section", "type", "placeholder",
      "name", "shape_id", "bullet", "image", "target", "media_type", "prog_id", "chart_type"};
  for (const std::string_view described : kKeys)
    if (key == described) return true;
  return false;
}

bool BlankJson(std::string_view text) {
  struct Open {
    bool object;
    bool described;  // inside a member that describes the deck
  };
  std::vector<Open> open;
  std::string_view key;  // the object's member being read
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool described = !open.empty() && open.back().described;
    if (c == '{' || c == '[') {
      const bool inObject = !open.empty() && open.back().object;
      open.push_back({c == '{', described || (inObject && DescribesTheDeck(key))});
      continue;
    }
    if (c == '}' || c == ']') {
      if (!open.empty()) open.pop_back();
      continue;
    }
    if (c != '"') continue;
    const size_t start = i + 1;
    for (++i; i < text.size() && text[i] != '"'; ++i)
      if (text[i] == '\\') ++i;
    const std::string_view value = text.substr(start, std::min(i, text.size()) - start);
    size_t next = i + 1;
    while (next < text.size() && (text[next] == ' ' || text[next] == '\n')) ++next;
    if (next < text.size() && text[next] == ':') {
      key = value;
      continue;
    }
    const bool inObject = !open.empty() && open.back().object;
    if (!value.empty() && !described && !(inObject && DescribesTheDeck(key))) return false;
  }
  return true;
}

}  // namespace

std::vector<ConverterForType> StandardConverters() {
  // The format is the one the entry's type names, as the list decided when it was added.
  const auto as = [](PresentationKind format) -> FileConverter {
    return [format](const std::string& nativePath, const ConvertRequest& request, OutputBuffer& output) {
      ConvertRequest named = request;
      named.format = format;
      return ConvertFile(nativePath, named, output);
    };
  };
  return {{u"PPT", as(PresentationKind::kPpt)}, {u"PPTX", as(PresentationKind::kPptx)}};
}

StandardTargetConverter::StandardTargetConverter(std::vector<ConverterForType> converters)
    : converters_(std::move(converters)) {}

ConvertResult StandardTargetConverter::Convert(const ConvertJob& job,
                                               const std::atomic<bool>& cancel) {
  using Status = ConvertResult::Status;
  ConvertResult result;
  const FileConverter* convert = nullptr;
  for (const ConverterForType& c : converters_)
    if (c.kind == job.kind) convert = &c.convert;
  if (convert == nullptr) {
    result.status = Status::kNoConverter;
    return result;
  }
  TargetJob target;
  target.source = PathToNative(job.source);
  target.target = PathToNative(job.target);
  target.request.mode = job.form;
  target.request.codePage = job.codePage;
  target.request.choice = FormatChoice::kByExtension;
  target.request.cancel = &cancel;
  target.overwrite = job.replaceExisting ? OverwritePolicy::kReplace : OverwritePolicy::kKeep;
  target.makeFolders = true;
  const TargetResult done = ConvertToTarget(target, output_, *convert);
  result.code = done.code;
  // Given up on while converting: nothing of it counts, whatever the converter got to. A text
  // that reached its name before the user's Cancel was seen is on the disk, and says so.
  if (done.outcome != TargetOutcome::kWritten && (cancel || done.code == kResultCancelled)) {
    result.status = Status::kCancelled;
    return result;
  }
  switch (done.outcome) {
    case TargetOutcome::kWritten:
      result.status = Status::kWritten;
      result.noText = HoldsNoText({reinterpret_cast<const char*>(output_.Data()), size_t(done.code)},
                                  job.form, job.codePage);
      return result;
    case TargetOutcome::kConvertFailed:
      result.status = Status::kFailed;
      return result;
    case TargetOutcome::kWriteFailed:
      result.status = Status::kWriteFailed;
      return result;
    case TargetOutcome::kExists:  // it appeared while its entry converted: not ours to replace
    case TargetOutcome::kUpToDate:
      result.status = Status::kCreateFailed;
      result.error = EEXIST;
      return result;
    case TargetOutcome::kCreateFailed: break;
  }
  const TargetCreateFailure why = WhyTargetCannotBeCreated(job.target);
  result.status = Status::kCreateFailed;
  result.error = why.error;
  result.folderUnwritable = why.folderUnwritable;
  return result;
}

SlideMode SlideModeOfTextForm(int32_t textForm) {
  switch (textForm) {
    case kTextFormComplete: return SlideMode::kFull;
    case kTextFormMarkdown: return SlideMode::kMarkdown;
    case kTextFormJson: return SlideMode::kJson;
    default: return SlideMode::kText;
  }
}

bool HoldsNoText(std::string_view bytes, SlideMode form, int32_t codePage) {
  switch (form) {
    case SlideMode::kMarkdown: return BlankMarkdown(bytes);
    case SlideMode::kJson: return BlankJson(bytes);
    case SlideMode::kText:
    case SlideMode::kFull: break;
  }
  return BlankText(bytes, codePage);
}

}  // namespace dkscr
