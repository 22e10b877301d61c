// The recent-project list and the session's load path.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/datasources.h"
#include "project/recent_projects.h"
#include "project/session.h"
#include "support/recording_port.h"
#include "support/temp_folder.h"

namespace tarne {
namespace {

using testing::ReadFile;
using testing::RecordingPort;
using testing::TempFolder;

TEST(RecentProjects, MostRecentFirstAtMostSix) {
  TempFolder tmp;
  const std::string config = tmp.Sub("config");
  EXPECT_TRUE(LoadRecentProjects(config).empty());
  for (int i = 1; i <= 7; ++i) AddRecentProject(config, "/p/P" + std::to_string(i) + ".trn");
  EXPECT_EQ(ReadFile(config + "tarne.ini"),
            "/p/P7.trn\r\n/p/P6.trn\r\n/p/P5.trn\r\n/p/P4.trn\r\n/p/P3.trn\r\n/p/P2.trn\r\n");

  // Reopening moves an entry to the head.  Letter case counts, and a path
  // that contains another listed path is an entry of its own.
  AddRecentProject(config, "/p/P4.trn");
  AddRecentProject(config, "/p/p4.trn");
  AddRecentProject(config, "/q/p/P4.trn");
  EXPECT_EQ(LoadRecentProjects(config),
            (std::vector<std::string>{"&1 /q/p/P4.trn", "&2 /p/p4.trn", "&3 /p/P4.trn",
                                      "&4 /p/P7.trn", "&5 /p/P6.trn", "&6 /p/P5.trn"}));
}

TEST(RecentProjects, HandEditedListsAndRelativePaths) {
  TempFolder tmp;
  const std::string config = tmp.Sub("config");
  tmp.Write("config/tarne.ini", "/a b/x.trn\n\n/c/y.trn\r\n/1\n/2\n/3\n/4\n/5\n");
  EXPECT_EQ(LoadRecentProjects(config).size(), 6u);
  AddRecentProject(config, "/c/y.trn");
  EXPECT_EQ(ReadFile(config + "tarne.ini"), "/c/y.trn\r\n/a b/x.trn\r\n/1\r\n/2\r\n/3\r\n/4\r\n");

  // Entries must name the file from anywhere; the folder is made when missing.
  AddRecentProject(tmp.Path() + "fresh/tarne", "rel/z.trn");
  EXPECT_EQ(ReadFile(tmp.Path() + "fresh/tarne/tarne.ini"),
            (std::filesystem::current_path() / "rel/z.trn").string() + "\r\n");
}

class SessionTest : public ::testing::Test {
 protected:
  TempFolder tmp;
  RecordingPort port;
  Session session{port, tmp.Path() + "config"};
};

TEST_F(SessionTest, LoadFailuresAreReported) {
  EXPECT_EQ(session.configFolder, tmp.Path() + "config/");
  const std::string gone = tmp.Path() + "gone.trn";
  EXPECT_FALSE(session.LoadProject(gone));
  const std::string file =
      tmp.Write("p/none.trn", "incats= 2\r\nsname=none\r\npath2root=" + tmp.Path() + "p/\r\n");
  EXPECT_FALSE(session.LoadProject(file));
  ASSERT_EQ(port.messages.size(), 2u);
  EXPECT_EQ(port.messages[0].text, "Could not open project file " + gone);
  EXPECT_EQ(port.messages[1].text, "Could not open the database of project none");
  EXPECT_EQ(port.messages[1].caption, "Tarne");
  EXPECT_EQ(port.messages[1].icon, Icon::Exclamation);
  EXPECT_FALSE(session.db.IsOpen());
  EXPECT_TRUE(LoadRecentProjects(session.configFolder).empty());
}

TEST_F(SessionTest, LoadsOpensListsAndLogsDatabaseErrors) {
  const std::string root = tmp.Sub("p");
  {
    Database db;
    ASSERT_TRUE(db.CreateNewFile(root + "demo.db"));
  }
  const std::string file =
      tmp.Write("p/demo.trn", "incats= 2\r\nsname=demo\r\npath2root=" + root + "\r\n");
  ASSERT_TRUE(session.LoadProject(file));
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(LookupDataSource(session.configFolder, "demo"), root + "demo.db");
  EXPECT_EQ(LoadRecentProjects(session.configFolder), std::vector<std::string>{"&1 " + file});

  session.db.Statement(1, "SELECT nothing FROM nowhere");
  ASSERT_EQ(port.logLines.size(), 1u);
  EXPECT_EQ(port.logLines[0].rfind("Database error: ", 0), 0u);
  EXPECT_NE(ReadFile(root + "demo.log").find("SELECT nothing FROM nowhere"), std::string::npos);
}

}  // namespace
}  // namespace tarne
