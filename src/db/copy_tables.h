// Copying a project's four tables from one open database to another, of
// either engine: every row with its row id, its values (NULLs as NULLs,
// reals to the last bit) and in row order, so that the copy lists, scores
// and reports exactly as the original does.
#pragma once

#include "db/gateway.h"

namespace tarne {

// to holds a freshly created, empty project.  The copy is one transaction
// on to; false (with to unchanged) when a statement failed on either side.
bool CopyProjectTables(Database& from, Database& to);

}  // namespace tarne
