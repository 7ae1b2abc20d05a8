#include "batch/TextFileNames.h"

#include <map>
#include <set>
#include <unordered_map>

#include "platform/NativePath.h"
#include "tools/Messages.h"

namespace dkscr {
namespace {

std::string_view NameOfPath(std::string_view path) {
  const size_t slash = path.find_last_of(kPathSeparators);
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(std::string_view a, std::string_view b) {
  if (a.empty()) return std::string(b);
  std::string out(a);
  if (kPathSeparators.find(out.back()) == std::string::npos) out += '/';
  out += b;
  return out;
}

}  // namespace

std::string_view StemOfName(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

void AssignTextFileNames(std::vector<BatchItem>& items, const std::string& outputDir,
                         const InputSelection& selection, std::string_view extension) {
  // Per source folder, every name that may claim a text file.
  std::map<std::string, std::set<std::string>> namesOfFolder;
  std::set<std::string> needsListing;
  for (const BatchItem& item : items) {
    if (item.failure != 0) continue;
    namesOfFolder[item.folder].emplace(NameOfPath(item.source));
    // A search saw the whole folder already; a named file's neighbours are read here.
    if (!item.foundInSearch) needsListing.insert(item.folder);
  }
  for (const std::string& folder : needsListing) {
    std::vector<FolderEntry> entries;
    ReadFolder(folder, selection, entries);  // unreadable: only the named files count
    for (const FolderEntry& entry : entries) {
      if (!entry.isFolder) namesOfFolder[folder].insert(entry.name);
    }
  }
  std::map<std::string, std::map<std::string, int, std::less<>>> stemCount;
  for (const auto& [folder, names] : namesOfFolder) {
    auto& counts = stemCount[folder];
    for (const std::string& name : names) ++counts[std::string(StemOfName(name))];
  }

  std::unordered_map<std::string, size_t> firstOfTarget;
  for (size_t i = 0; i < items.size(); ++i) {
    BatchItem& item = items[i];
    if (item.failure != 0) continue;
    const std::string_view name = NameOfPath(item.source);
    const std::string_view stem = StemOfName(name);
    const auto& counts = stemCount[item.folder];
    const auto count = counts.find(stem);
    const bool shared = count != counts.end() && count->second > 1;
    const std::string textName = std::string(shared ? name : stem) + std::string(extension);
    item.target = JoinPath(JoinPath(outputDir, item.relFolder), textName);
    const auto [first, inserted] = firstOfTarget.emplace(item.target, i);
    if (!inserted) {
      item.failure = kResultTargetCreateError;
      item.message = "Output file \"" + ShownName(item.target) + "\" is also the text file of \"" +
                     ShownName(items[first->second].source) + "\"";
    }
  }
}

}  // namespace dkscr
