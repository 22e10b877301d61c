#include "db/engine_setup.h"

#include <sqlite3.h>

namespace tarne {

void SetUpEngine() {
  // Keeping the engine's memory statistics takes a process-wide lock on
  // every allocation and free, and a training or scoring run makes millions
  // of them; nothing here reads the statistics.  The option can only be set
  // before the engine starts, so a program that opened a database some
  // other way first keeps them (sqlite3_config then refuses, harmlessly).
  static const bool set = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)set;
}

}  // namespace tarne
