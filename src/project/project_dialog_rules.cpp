#include "project/project_dialog_rules.h"

#include <cmath>

#include "shell/numbers.h"

namespace tarne {

ProjectDialogValues OpeningDialogValues(const ProjectSettings& settings, SaveMode mode) {
  ProjectDialogValues v;
  const int groups = settings.Groups();
  v.groups = groups >= 2 && groups <= kDialogGroupRows ? groups : 2;
  v.dbprogram = settings.dbprogram.empty() ? "MSACCESS" : settings.dbprogram;
  v.train.assign(kDialogGroupRows, std::string());
  v.trial.assign(kDialogGroupRows, std::string());
  v.priors.assign(kDialogGroupRows, std::string());
  v.groupNames.assign(kDialogGroupRows, std::string());
  if (mode == SaveMode::New) return v;

  v.sname = settings.sname;
  v.root = settings.path2root;
  v.msa = settings.path2msa;
  v.newFolder = settings.path2new;
  // A project file may hold fewer per-group lines than its group count says.
  for (std::size_t i = 0; i < static_cast<std::size_t>(kDialogGroupRows); ++i) {
    if (i < settings.path2train.size()) v.train[i] = settings.path2train[i];
    if (i < settings.path2trial.size()) v.trial[i] = settings.path2trial[i];
    if (i < settings.priors.size()) v.priors[i] = TrimmedNumber(settings.priors[i]);
    if (i < settings.groupNames.size()) v.groupNames[i] = settings.groupNames[i];
  }
  v.common = FormatMask(settings.common, "######.#");
  v.rare = FormatMask(settings.rare, "######.#");
  v.lowinfo = FormatMask(settings.lowinfo, "######.##");
  v.rules = settings.rules;
  return v;
}

std::string UniformPriorText(int groups) {
  if (groups < 1) return std::string();
  return TrimmedNumber(std::round(1e6 / groups) / 1e6);
}

void UseDefaultThresholds(ProjectDialogValues& values) {
  values.common = "1000.0";
  values.rare = "30.0";
  values.lowinfo = "0.30";
}

}  // namespace tarne
