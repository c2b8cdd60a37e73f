// Reading a text field of the setup record (setup/ba_setup.h). Qt-free: the
// setup sheet, the input-file writer and the writeback all read the record
// through it, so that they agree on what a field holds.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace zelba {

// The text of a fixed field of N bytes: up to its first NUL, at most N - 1
// bytes (a field without its NUL gives what a field can hold).
template <std::size_t N>
std::string recordText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N - 1));
}

}  // namespace zelba
