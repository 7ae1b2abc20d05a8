#pragma once
// What a form writes, within the bound the reader set from what the file holds. A small model
// can make a large form (one name on every comment, a ragged table padded to its widest row, a
// chart's few long series crossed with many short ones), so the form is checked as it grows:
// every piece is counted before it is added, and a piece that escapes may add more (checked
// after). Past the bound a form throws ModelTooLargeError, which its entry gives as -5.
#include <cstdint>
#include <string>
#include <string_view>

#include "model/JsonWriter.h"
#include "model/ModelBudget.h"

namespace dkscr {

// Where a form's text goes as it grows, for a writer that passes it on as it is made: a slide
// with a great deal of text is then never held whole.
class FormSpill {
 public:
  virtual void Spill(std::string_view bytes) = 0;

 protected:
  ~FormSpill() = default;
};

class FormText {
 public:
  FormText(std::string& out, uint64_t bound, FormSpill* spill = nullptr)
      : out_(out), start_(out.size()), bound_(bound), spill_(spill) {}

  std::string& Out() { return out_; }
  // Before `bytes` more are added. With a spill, what was written before goes on once it is
  // long (nothing written is ever changed).
  void Expect(uint64_t bytes) {
    if (spill_ != nullptr && out_.size() - start_ >= kSpillBytes) Spill();
    if (bytes > bound_ || spilled_ + (out_.size() - start_) > bound_ - bytes) throw ModelTooLargeError();
  }
  // After something was added.
  void Check() { Expect(0); }

  FormText& operator+=(std::string_view text) {
    Expect(text.size());
    out_ += text;
    return *this;
  }
  FormText& operator+=(char c) {
    push_back(c);
    return *this;
  }
  void push_back(char c) {
    Expect(1);
    out_.push_back(c);
  }

 private:
  static constexpr size_t kSpillBytes = size_t{1} << 20;

  void Spill() {
    const size_t bytes = out_.size() - start_;
    spill_->Spill(std::string_view(out_).substr(start_));
    out_.resize(start_);
    spilled_ += bytes;
  }

  std::string& out_;
  size_t start_;
  uint64_t bound_;
  FormSpill* spill_;
  uint64_t spilled_ = 0;
};

// A text as a JSON string within the form's bound (escapes write up to six bytes a byte).
inline void AppendJsonString(FormText& form, std::string_view text) {
  form.Expect(text.size() + 2);
  AppendJsonString(form.Out(), text);
  form.Check();
}

}  // namespace dkscr
