#include "project/session.h"

#include "db/datasources.h"
#include "project/recent_projects.h"
#include "project/settings.h"

#include <filesystem>
#include <system_error>

namespace tarne {

Session::Session(Port& p, std::string folder)
    : port(p), configFolder(folder.empty() ? DefaultConfigFolder() : std::move(folder)) {
  if (!configFolder.empty() && configFolder.back() != '/') configFolder += '/';
  // Failed statements belong in the project log; before any project is
  // current there is no log to hold them (and no statement worth noting).
  db.SetErrorSink([this](const std::string& message) {
    if (!settings.sname.empty()) Log(message);
  });
  db.SetPasswordPrompt([this](const std::string& connection) { return port.AskPassword(connection); });
}

void Session::Log(const std::string& message) {
  port.WriteProjectLogLine(settings.LogFilePath(), message);
}

void Session::ReportDatabaseFailure() {
  Append("\r\nDatabase error: " + db.LastError() + "\r\n");
}

bool Session::OpenProjectDatabase() {
  // The project's own file comes first: the data-source list is per user
  // and keyed by short name alone, so two projects of one name in different
  // folders would otherwise open whichever was registered last.  The list
  // only serves a project whose own file is not there.
  if (settings.OnServer()) {
    if (db.OpenServer(settings.dbserver, settings.sname)) return true;
    Message("Could not open the database of project " + settings.sname + "\r\n" + db.LastError(),
            kProgramName, Buttons::Ok, Icon::Exclamation);
    return false;
  }
  const std::string own = settings.DatabasePath();
  std::error_code ec;
  if (std::filesystem::exists(own, ec)) {
    if (db.OpenFile(own)) {
      // Kept registered under its name, as for a project folder that moved,
      // so that the list names the file this project really uses.
      const std::string listed = LookupDataSource(configFolder, settings.sname);
      if (IsValidShortName(settings.sname) &&
          (listed.empty() || !std::filesystem::equivalent(listed, own, ec)))
        RegisterDataSource(configFolder, settings.sname, own);
      return true;
    }
  } else if (IsValidShortName(settings.sname) &&
             db.OpenDataSource("DSN=" + settings.sname, own, configFolder)) {
    return true;
  }
  Message("Could not open the database of project " + settings.sname, kProgramName, Buttons::Ok,
          Icon::Exclamation);
  return false;
}

bool Session::LoadProject(const std::string& projectFile) {
  // Checked first, so that a refused file leaves the current project as it was.
  if (const std::string problem = GroupCountProblem(projectFile); !problem.empty()) {
    Message("The project file " + projectFile + " cannot be used:\r\n" + problem, kProgramName,
            Buttons::Ok, Icon::Exclamation);
    return false;
  }
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
