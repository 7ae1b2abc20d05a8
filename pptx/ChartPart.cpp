#include "pptx/ChartPart.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "pptx/ParagraphCollector.h"
#include "xml/MarkupWalker.h"

namespace dkscr {
namespace {

using Event = MarkupWalker::Event;

// Positions past the points a cache holds that its declared count may add (empty points at
// the end); a larger count is not believed.
constexpr size_t kSparePoints = 256;

bool IsPlot(std::string_view local) { return local.size() > 5 && local.ends_with("Chart"); }

std::optional<double> NumberOf(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

size_t IndexOf(std::string_view text) {
  size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : SIZE_MAX;
}

// The points of one cache (a series' categories or values) as the part lists them.
struct PointCache {
  size_t declared = SIZE_MAX;  // its ptCount, when given
  std::vector<std::pair<size_t, std::string>> points;
  bool levelSeen = false;  // a multi-level cache: only its first level is read
  bool skipping = false;   // inside a later level

  // The number of positions: the declared count, within reason, else up to the last point.
  size_t Length() const {
    size_t needed = 0;
    for (const auto& point : points) needed = std::max(needed, point.first + 1);
    const size_t bound = 2 * points.size() + kSparePoints;
    const size_t length = declared != SIZE_MAX ? declared : needed;
    return length <= bound ? length : std::min(needed, bound);
  }
};

class ChartReader {
 public:
  ChartReader(std::vector<std::string>& texts, ChartContent& chart, ModelBudget& budget)
      : texts_(texts), chart_(chart), budget_(budget) {}

  void Read(std::string_view xml) {
    MarkupWalker walker(xml);
    for (Event event = walker.Next(); event != Event::kEnd; event = walker.Next()) {
      const bool paragraphEnded = paragraph_.Take(walker, event);
      if (event == Event::kStartElement) {
        Start(walker);
      } else if (event == Event::kText && walker.Open() == "v") {
        Value(walker.Reader().Text());
      } else if (event == Event::kEndElement) {
        End(walker);
      }
      if (paragraphEnded && titleDepth_ != 0 && !paragraph_.Text().empty()) {
        if (!title_.empty()) title_.push_back('\n');
        title_ += paragraph_.Text();
      }
    }
  }

 private:
  void Start(const MarkupWalker& walker) {
    const std::string_view local = walker.Local();
    const std::string_view parent = walker.Open(1);
    if (local == "title" && titleDepth_ == 0) {
      titleDepth_ = walker.Depth();
      chartTitle_ = parent == "chart";
      title_.clear();
    } else if (IsPlot(local) && parent == "plotArea") {
      if (!chart_.type) chart_.type = std::string(local.substr(0, local.size() - 5));
    } else if (local == "ser" && IsPlot(parent)) {
      serDepth_ = walker.Depth();
      budget_.TakeItem(0);
      chart_.series.emplace_back();
    } else if (serDepth_ != 0 && walker.Depth() == serDepth_ + 1) {
      if (local == "cat" || local == "xVal") OpenCache(walker, categories_);
      if (local == "val" || local == "yVal") OpenCache(walker, values_);
    }
    if (local == "tx" && parent == "ser") seriesNameDepth_ = walker.Depth();
    if (local == "cat" && parent == "ser" && !categoriesTaken_) categoryDepth_ = walker.Depth();
    if (cache_ == nullptr) return;
    if (local == "lvl") {
      cache_->skipping = cache_->levelSeen;
      cache_->levelSeen = true;
    } else if (local == "ptCount" && !cache_->skipping) {
      cache_->declared = IndexOf(walker.Reader().Attribute("val"));
    } else if (local == "pt" && !cache_->skipping) {
      pointIndex_ = IndexOf(walker.Reader().Attribute("idx"));
      pointValue_.clear();
    }
  }

  void OpenCache(const MarkupWalker& walker, PointCache& cache) {
    cache = {};
    cache_ = &cache;
    cacheDepth_ = walker.Depth();
  }

  void Value(const std::string& value) {
    if (titleDepth_ != 0) {
      if (!title_.empty()) title_.push_back('\n');
      title_ += value;
    } else if ((seriesNameDepth_ != 0 || categoryDepth_ != 0) && !value.empty()) {
      budget_.TakeItem(value.size());
      texts_.push_back(value);
    }
    if (titleDepth_ == 0 && seriesNameDepth_ != 0 && serDepth_ != 0) {
      std::optional<std::string>& name = chart_.series.back().name;
      if (!name) name.emplace();
      if (!name->empty() && !value.empty()) name->push_back(' ');
      *name += value;
    }
    if (cache_ != nullptr && !cache_->skipping) pointValue_ += value;
  }

  void End(const MarkupWalker& walker) {
    const size_t depth = walker.Depth();
    if (titleDepth_ != 0 && depth < titleDepth_) {
      titleDepth_ = 0;
      if (!title_.empty()) {
        budget_.TakeItem(title_.size());
        texts_.push_back(title_);
      }
      if (chartTitle_ && !title_.empty() && !chart_.title) chart_.title = title_;
    }
    if (seriesNameDepth_ != 0 && depth < seriesNameDepth_) seriesNameDepth_ = 0;
    if (categoryDepth_ != 0 && depth < categoryDepth_) {
      categoryDepth_ = 0;
      categoriesTaken_ = true;  // every series repeats the same labels
    }
    if (cache_ != nullptr) {
      if (walker.Reader().LocalName() == "pt" && !cache_->skipping && pointIndex_ != SIZE_MAX) {
        budget_.TakeItem(pointValue_.size());
        cache_->points.emplace_back(pointIndex_, std::move(pointValue_));
        pointIndex_ = SIZE_MAX;
      } else if (walker.Reader().LocalName() == "lvl") {
        cache_->skipping = true;
      }
      if (depth < cacheDepth_) CloseCache();
    }
    if (serDepth_ != 0 && depth < serDepth_) serDepth_ = 0;
  }

  void CloseCache() {
    ChartSeries& series = chart_.series.back();
    const size_t length = cache_->Length();
    budget_.Take(length * ModelBudget::kItemBytes);
    if (cache_ == &categories_) {
      series.categories.assign(length, std::string());
      for (auto& [index, text] : categories_.points) {
        if (index < length) series.categories[index] = std::move(text);
      }
    } else {
      series.values.assign(length, std::nullopt);
      for (const auto& [index, text] : values_.points) {
        if (index < length) series.values[index] = NumberOf(text);
      }
    }
    cache_ = nullptr;
  }

  std::vector<std::string>& texts_;
  ChartContent& chart_;
  ModelBudget& budget_;
  ParagraphCollector paragraph_;
  std::string title_;
  size_t titleDepth_ = 0;       // the open title's depth, 0 when none
  bool chartTitle_ = false;     // the open title is the chart's own
  size_t seriesNameDepth_ = 0;  // the open series name ("tx" of a "ser")
  size_t categoryDepth_ = 0;    // the open category list ("cat" of a "ser") that gives texts
  bool categoriesTaken_ = false;
  size_t serDepth_ = 0;         // the open series, 0 when none
  PointCache categories_, values_;
  PointCache* cache_ = nullptr;  // the open one of them
  size_t cacheDepth_ = 0;
  size_t pointIndex_ = SIZE_MAX;
  std::string pointValue_;
};

}  // namespace

void ReadChartPart(std::string_view xml, std::vector<std::string>& texts, ChartContent& chart, ModelBudget& budget) {
  ChartReader(texts, chart, budget).Read(xml);
}

}  // namespace dkscr
