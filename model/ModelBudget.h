#pragma once
// What one reading may put into the slide model, and what a form made of the model may write.
// A small file can describe a great deal (one text listed many times, one part read through
// many names, a name repeated on every comment), so both are bounded by what the input really
// holds, as the default text is. A reader carries one budget and takes from it wherever it
// stores a text or an item; past the bound the reading stops and the conversion gives -5.
#include <cstdint>

namespace dkscr {

// Thrown past a bound of the model or of a form.
struct ModelTooLargeError {};

class ModelBudget {
 public:
  // What holding one more item (a paragraph, a cell, a comment ...) costs beyond its text:
  // about what a string costs.
  static constexpr uint64_t kItemBytes = 32;
  // What one more slide costs beyond its texts: its lists and fields.
  static constexpr uint64_t kSlideBytes = 384;

  // Unbounded, for models that tests and callers build themselves.
  ModelBudget() = default;
  // `bytes` for the model; its forms may write as many.
  explicit ModelBudget(uint64_t bytes) : left_(bytes), outputBound_(bytes) {}

  // Before an item of `textBytes` is stored.
  void TakeItem(uint64_t textBytes) { Take(kItemBytes + textBytes); }
  void TakeSlide() { Take(kSlideBytes); }
  // Before bytes are added to what is held.
  void Take(uint64_t bytes) {
    if (bytes > left_) throw ModelTooLargeError();
    left_ -= bytes;
  }
  // What was taken and is held no longer (a reader's scratch, once it is in the model).
  void Give(uint64_t bytes) { left_ = bytes > UINT64_MAX - left_ ? UINT64_MAX : left_ + bytes; }

  uint64_t Left() const { return left_; }
  // What a form may write of the model: as much as the model may hold (a form repeats each
  // text once or twice over what it escapes and frames, and the model holds its texts more
  // than once).
  uint64_t OutputBound() const { return outputBound_; }

 private:
  uint64_t left_ = UINT64_MAX;
  uint64_t outputBound_ = UINT64_MAX;
};

}  // namespace dkscr
