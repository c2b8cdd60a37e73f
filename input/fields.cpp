#include "input/fields.h"

#include "engine/numbers.h"

namespace zelba {

const std::string& fieldAt(const Fields& fields, size_t k) {
  static const std::string kEmpty;
  return k < fields.size() ? fields[k] : kEmpty;
}

double numberAt(const Fields& fields, size_t k) {
  return parseNumber(fieldAt(fields, k));
}

int headerWell(RunState& rs, const Fields& fields) {
  if (!isWellType(rs, lookupEntityType(rs, fieldAt(fields, 0)))) return -1;
  return findNode(rs, fieldAt(fields, 0), fieldAt(fields, 1));
}

}  // namespace zelba
