// The object framework under the host's data-model classes.
#include "hostmodel/model_object.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zelba::hostmodel {

bool ModelClass::IsDerivedFrom(const ModelClass& other) const {
  for (const ModelClass* c = this; c; c = c->base) {
    if (c == &other) return true;
  }
  return false;
}

const ModelClass ModelObject::kClass{"ModelObject", nullptr};

void ModelArchive::Write(const std::string& value) {
  if (storing_) values_.push_back(value);
}

void ModelArchive::Write(long long value) {
  Write(std::to_string(value));
}

void ModelArchive::Write(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  Write(std::string(text));
}

bool ModelArchive::Read(std::string& value) {
  if (storing_ || failed_ || next_ >= values_.size()) {
    failed_ = true;
    return false;
  }
  value = values_[next_++];
  return true;
}

bool ModelArchive::Read(long long& value) {
  std::string text;
  if (!Read(text)) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE) {
    failed_ = true;
    return false;
  }
  value = v;
  return true;
}

bool ModelArchive::Read(double& value) {
  std::string text;
  if (!Read(text)) return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  // Only finite numbers are written; anything else is not one of ours.
  if (text.empty() || *end != '\0' || !std::isfinite(v)) {
    failed_ = true;
    return false;
  }
  value = v;
  return true;
}

}  // namespace zelba::hostmodel
