#pragma once

namespace tarne {

// Sets the engine's process-wide options before the first connection is
// opened; later calls do nothing.  Every place that opens a database file
// calls it first.
void SetUpEngine();

}  // namespace tarne
