// The project dialog's own rules apart from saving: what its edits show when
// it opens, which per-group rows are visible, and what Set uniform and Use
// Defaults put into the edits.  The desktop dialog follows them; they need no
// window.
#pragma once

#include <string>

#include "project/save_project.h"
#include "project/settings.h"

namespace tarne {

// Rows exist for every possible group; those above the group count are only
// hidden, so their text comes back when the count is raised again.
inline constexpr int kDialogGroupRows = 5;

// The dialog's values as it opens over settings.  The group count is the
// project's (2 without one) and an empty program reads as "MSACCESS".  New
// mode leaves every edit empty and the classic counting rules; edit mode
// fills them from settings, the thresholds under "######.#" / "######.##"
// and the priors in trimmed form.
// The per-group vectors always hold kDialogGroupRows entries.
ProjectDialogValues OpeningDialogValues(const ProjectSettings& settings, SaveMode mode);

// Whether the row of group g (1-based) is shown under the given group count.
inline bool GroupRowShown(int g, int groups) { return g >= 1 && g <= groups; }

// Set uniform: the text each of the first `groups` prior edits gets, 1/G
// rounded to 6 decimal places (".333333" for 3 groups).
std::string UniformPriorText(int groups);

// Use Defaults: the three threshold edits get "1000.0", "30.0" and "0.30".
// (These differ from the defaults a save gives an empty threshold.)
void UseDefaultThresholds(ProjectDialogValues& values);

}  // namespace tarne
