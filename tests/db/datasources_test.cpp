#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "db/database_files.h"
#include "db/datasources.h"
#include "db/gateway.h"
#include "support/temp_folder.h"
#include "support/test_server.h"

namespace tarne::testing {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(DataSourceList, ConfigFolderFollowsXdgThenHome) {
  TempFolder tmp;
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", (tmp.Path() + "xdg/").c_str());
    EXPECT_EQ(DefaultConfigFolder(), tmp.Path() + "xdg/tarne/");
  }
  ScopedEnv home("HOME", (tmp.Path() + "home").c_str());
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(DefaultConfigFolder(), tmp.Path() + "home/.config/tarne/");
  }
  ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(DefaultConfigFolder(), tmp.Path() + "home/.config/tarne/");
}

TEST(DataSourceList, RegisteringReplacesOnlyItsOwnSection) {
  TempFolder tmp;
  const std::string config = tmp.Path() + "cfg/tarne/";  // created on the way
  EXPECT_EQ(LookupDataSource(config, "grade7"), "");
  ASSERT_TRUE(RegisterDataSource(config, "grade7", "/p/grade7.db"));
  ASSERT_TRUE(RegisterDataSource(config, "grade8", "/q/grade8.db"));
  ASSERT_TRUE(RegisterDataSource(config, "grade7", "/moved/grade7.db"));
  EXPECT_EQ(ReadFile(config + "datasources.ini"),
            "[grade7]\nDriver=SQLite3\nDatabase=/moved/grade7.db\n\n"
            "[grade8]\nDriver=SQLite3\nDatabase=/q/grade8.db\n");
  EXPECT_EQ(LookupDataSource(config, "grade7"), "/moved/grade7.db");
  EXPECT_EQ(LookupDataSource(config, "grade8"), "/q/grade8.db");
  EXPECT_EQ(LookupDataSource(config, "Grade8"), "");  // names are exact
  EXPECT_EQ(LookupDataSource(config, "grade"), "");
}

TEST(DataSourceList, ReadsAHandEditedList) {
  TempFolder tmp;
  tmp.Write("datasources.ini",
            "; written by hand\r\n[a]\r\nDriver=SQLite3\r\ndatabase = /x/a b .db\r\n\r\n\r\n"
            "[b]\r\nDriver=SQLite3\r\n");
  EXPECT_EQ(LookupDataSource(tmp.Path(), "a"), "/x/a b .db");
  EXPECT_EQ(LookupDataSource(tmp.Path(), "b"), "");
  ASSERT_TRUE(RegisterDataSource(tmp.Path(), "b", "/y/b.db"));
  EXPECT_EQ(tmp.Read("datasources.ini"),
            "; written by hand\n\n[a]\nDriver=SQLite3\ndatabase = /x/a b .db\n\n"
            "[b]\nDriver=SQLite3\nDatabase=/y/b.db\n");
}

TEST(DataSourceList, RegistersAbsolutePathsAndRefusesForgedSections) {
  TempFolder tmp;
  ASSERT_TRUE(RegisterDataSource(tmp.Path(), "rel", "some/where.db"));
  EXPECT_EQ(LookupDataSource(tmp.Path(), "rel"), (fs::current_path() / "some/where.db").string());
  EXPECT_FALSE(RegisterDataSource(tmp.Path(), "x]\n[y", "/a.db"));
  EXPECT_FALSE(RegisterDataSource(tmp.Path(), "z", "/a.db\n[evil]"));
  EXPECT_EQ(LookupDataSource(tmp.Path(), "evil"), "");
}

class OpenDataSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (ProjectsOnServer()) GTEST_SKIP() << kSqliteFilesOnly;
    root = tmp.Sub("proj");
    config = tmp.Path() + "config/";
    ASSERT_TRUE(CreateProjectDatabase(root, "grade7", config));
  }
  TempFolder tmp;
  std::string root, config;
  Database db;
};

TEST_F(OpenDataSourceTest, OpensTheListedFile) {
  ASSERT_TRUE(db.OpenDataSource("DSN=grade7", "", config));
  EXPECT_EQ(db.FilePath(), root + "grade7.db");
  ASSERT_TRUE(db.OpenDataSource("DSN=grade7;Driver=SQLite3", "/no/such.db", config));
  EXPECT_EQ(db.FilePath(), root + "grade7.db");
}

TEST_F(OpenDataSourceTest, AMovedProjectFolderStillOpens) {
  const std::string moved = tmp.Path() + "elsewhere/";
  fs::rename(root, moved);
  ASSERT_TRUE(db.OpenDataSource("DSN=grade7", moved + "grade7.db", config));
  EXPECT_EQ(db.FilePath(), moved + "grade7.db");
  EXPECT_EQ(LookupDataSource(config, "grade7"), moved + "grade7.db");
  db.Statement(1, "Select * from trainsize");
  db.FetchResult(1);
  EXPECT_EQ(db.EndOfData(1), 0);
}

TEST_F(OpenDataSourceTest, AnUnlistedNameFallsBackToTheProjectFile) {
  fs::copy_file(root + "grade7.db", root + "copied.db");
  ASSERT_TRUE(db.OpenDataSource("DSN=copied", root + "copied.db", config));
  EXPECT_EQ(LookupDataSource(config, "copied"), root + "copied.db");
  EXPECT_EQ(LookupDataSource(config, "grade7"), root + "grade7.db");
}

TEST_F(OpenDataSourceTest, NothingToOpenLeavesNoDatabase) {
  ASSERT_TRUE(db.OpenDataSource("DSN=grade7", "", config));
  fs::remove(root + "grade7.db");
  EXPECT_FALSE(db.OpenDataSource("DSN=grade7", root + "grade7.db", config));
  EXPECT_FALSE(db.IsOpen());
  EXPECT_FALSE(db.OpenDataSource("DSN=unknown", "", config));
  EXPECT_FALSE(FileExists(root + "grade7.db"));  // opening never creates
}

}  // namespace
}  // namespace tarne::testing
