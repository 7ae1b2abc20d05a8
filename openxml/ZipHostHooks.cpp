#include "openxml/ZipHostHooks.h"

#include <utility>

namespace dkscr {
namespace {

ZipHostHooks& Hooks() {
  static ZipHostHooks hooks;
  return hooks;
}

}  // namespace

void SetZipHostHooks(ZipHostHooks hooks) { Hooks() = std::move(hooks); }

const ZipHostHooks& GetZipHostHooks() { return Hooks(); }

}  // namespace dkscr
