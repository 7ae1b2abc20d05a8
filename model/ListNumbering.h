#pragma once
// The labels of numbered paragraphs, as PowerPoint shows them in either format.
#include <string>
#include <string_view>

namespace dkscr {

// The label of number n in an auto-number scheme named as DrawingML names it
// ("arabicPeriod", 3 -> "3."; "romanLcParenBoth", 14 -> "(xiv)").
std::string AutoNumberLabel(std::string_view scheme, int n);

}  // namespace dkscr
