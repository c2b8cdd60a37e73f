// A new setup record: every byte zero and every variable binding unbound.
// Qt-free and header-only, so that ba-setup and the host application start
// records alike.
#pragma once

#include <cstring>

#include "setup/ba_setup.h"

namespace zelba {

inline BA_SETUP newSetupRecord() {
  BA_SETUP record;
  std::memset(&record, 0, sizeof record);
  const auto unbind = [](auto& refs) {
    for (BA_VARREF& ref : refs) ref.varPos = -1;
  };
  unbind(record.welltestVars);
  unbind(record.measureVars);
  unbind(record.writebackVars);
  unbind(record.timeVars);
  unbind(record.equationVars);
  return record;
}

}  // namespace zelba
