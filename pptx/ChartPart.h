#pragma once
// A chart part (DrawingML chart), read once for both the chart texts of a slide and its
// chart block: type, title and every series from the values the part caches.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ModelBudget.h"
#include "model/SlideModel.h"

namespace dkscr {

struct ChartContent {
  std::optional<std::string> type;  // the first plot's kind: "bar", "line", "pie" ...
  std::optional<std::string> title;
  std::vector<ChartSeries> series;
};

// Appends to `texts` the chart and axis titles, series names and the first series' category
// labels, and fills `chart`. A damaged part gives what was read before the damage. What it
// stores is taken from `budget` first.
void ReadChartPart(std::string_view xml, std::vector<std::string>& texts, ChartContent& chart, ModelBudget& budget);

}  // namespace dkscr
