#include "project/session.h"

#include "db/datasources.h"
#include "project/recent_projects.h"

namespace tarne {

Session::Session(Port& p, std::string folder)
    : port(p), configFolder(folder.empty() ? DefaultConfigFolder() : std::move(folder)) {
  if (!configFolder.empty() && configFolder.back() != '/') configFolder += '/';
  // Failed statements belong in the project log; before any project is
  // current there is no log to hold them (and no statement worth noting).
  db.SetErrorSink([this](const std::string& message) {
    if (!settings.sname.empty()) Log(message);
  });
}

void Session::Log(const std::string& message) {
  port.WriteProjectLogLine(settings.LogFilePath(), message);
}

bool Session::OpenProjectDatabase() {
  if (db.OpenDataSource("DSN=" + settings.sname, settings.DatabasePath(), configFolder))
    return true;
  Message("Could not open the database of project " + settings.sname, kProgramName, Buttons::Ok,
          Icon::Exclamation);
  return false;
}

bool Session::LoadProject(const std::string& projectFile) {
  if (!LoadProjectFile(projectFile, settings)) {
    Message("Could not open project file " + projectFile, kProgramName, Buttons::Ok,
            Icon::Exclamation);
    return false;
  }
  if (!OpenProjectDatabase()) return false;
  // The file just read is listed rather than path2root + sname + ".trn": a
  // project folder that was moved still names its old place inside.
  AddRecentProject(configFolder, projectFile);
  return true;
}

}  // namespace tarne
