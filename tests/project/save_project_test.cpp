// Saving the dialog's values, and the change rules of its numeric edits.
#include <gtest/gtest.h>

#include <filesystem>

#include "project/recent_projects.h"
#include "project/save_project.h"
#include "project/session.h"
#include "support/recording_port.h"
#include "support/temp_folder.h"

namespace tarne {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::RecordingPort;
using testing::TempFolder;

class SaveProjectTest : public ::testing::Test {
 protected:
  TempFolder tmp;
  RecordingPort port;
  Session session{port, tmp.Sub("config")};
  const std::string t = tmp.Path();

  ProjectDialogValues Values(int groups) {
    ProjectDialogValues v;
    v.groups = groups;
    v.sname = " grade7 ";
    v.root = t + "proj";
    for (int g = 1; g <= groups; ++g) {
      v.train.push_back(t + "train" + std::to_string(g));
      v.trial.push_back(t + "trial" + std::to_string(g) + "/");
      v.priors.push_back("");
    }
    return v;
  }
  void ExpectOneMessage(const std::string& text, const std::string& caption, Icon icon) {
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, text);
    EXPECT_EQ(port.messages[0].caption, caption);
    EXPECT_EQ(port.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(port.messages[0].icon, icon);
    port.messages.clear();
  }
};

TEST_F(SaveProjectTest, DefaultsPriorsFoldersAndTheFile) {
  ProjectDialogValues v = Values(3);
  v.priors = {"1", "-1", "2"};  // a negative prior counts by its size
  v.common = "abc";
  session.settings.wkeep = 1;
  ASSERT_TRUE(SaveProject(session, v, SaveMode::Edit));
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(session.settings.sname, "grade7");
  EXPECT_TRUE(std::filesystem::is_directory(t + "train3"));
  EXPECT_EQ(ReadFile(t + "proj/grade7.trn"),
            "incats= 3\r\ndbprogram=MSACCESS\r\nsname=grade7\r\npath2root=" + t +
                "proj/\r\npath2msa=\r\npath2new=\r\n"
                "path2train1=" + t + "train1/\r\npath2trial1=" + t + "trial1/\r\npriors1=.25\r\n"
                "path2train2=" + t + "train2/\r\npath2trial2=" + t + "trial2/\r\npriors2=.25\r\n"
                "path2train3=" + t + "train3/\r\npath2trial3=" + t + "trial3/\r\npriors3=.5\r\n"
                "common= 1000\r\nrare= 40\r\nlowinfo= .300000011920929\r\nwkeep= 1\r\n\r\n");
  // Edit mode touches neither the recent list nor any database.
  EXPECT_TRUE(LoadRecentProjects(session.configFolder).empty());
  EXPECT_FALSE(FileExists(t + "proj/grade7.db"));

  v.priors = {"0", "", "x"};
  ASSERT_TRUE(SaveProject(session, v, SaveMode::Edit));
  EXPECT_EQ(session.settings.priors, std::vector<double>(3, 1.0 / 3));
  EXPECT_NE(ReadFile(t + "proj/grade7.trn").find("priors3=.333333333333333\r\n"),
            std::string::npos);
}

TEST_F(SaveProjectTest, RefusalsLeaveTheProjectAsItWas) {
  session.settings.sname = "previous";
  ProjectDialogValues v = Values(2);
  v.sname = "   ";
  EXPECT_FALSE(SaveProject(session, v, SaveMode::New));
  ExpectOneMessage("You need to specify a short name", "More information needed", Icon::None);
  EXPECT_FALSE(std::filesystem::exists(t + "proj"));

  v.sname = "grade7";
  v.msa = t + "office";
  EXPECT_FALSE(SaveProject(session, v, SaveMode::New));
  ExpectOneMessage("MSACCESS.EXE not found, path erased", "", Icon::None);
  EXPECT_EQ(v.msa, "");
  EXPECT_FALSE(FileExists(t + "proj/grade7.trn"));

  tmp.Sub("proj/grade7.trn");  // a folder where the file should go
  EXPECT_FALSE(SaveProject(session, v, SaveMode::New));
  ExpectOneMessage("Could not write file " + t + "proj/grade7.trn", "Tarne", Icon::Exclamation);
  EXPECT_EQ(session.settings.sname, "previous");
  EXPECT_TRUE(LoadRecentProjects(session.configFolder).empty());

  // A folder with the program (in either letter case) is kept.
  std::filesystem::remove(t + "proj/grade7.trn");
  tmp.Write("office/msaccess.exe", "");
  v.msa = t + "office";
  ASSERT_TRUE(SaveProject(session, v, SaveMode::Edit));
  EXPECT_EQ(session.settings.path2msa, t + "office/");
}

TEST_F(SaveProjectTest, NewModeListsTheProjectAndReplacesItsDatabase) {
  ProjectDialogValues v = Values(2);
  ASSERT_TRUE(SaveProject(session, v, SaveMode::New));
  EXPECT_EQ(LoadRecentProjects(session.configFolder),
            std::vector<std::string>{"&1 " + t + "proj/grade7.trn"});
  ASSERT_TRUE(session.OpenProjectDatabase());
  session.db.Exec("INSERT INTO calib (filen, gr) VALUES ('a.txt', 1)");

  // Saved again over the same short name, while open: an empty database.
  ASSERT_TRUE(SaveProject(session, v, SaveMode::New));
  ASSERT_TRUE(session.OpenProjectDatabase());
  session.db.Statement(1, "SELECT COUNT(*) FROM calib");
  session.db.FetchResult(1);
  EXPECT_EQ(session.db.ColumnSInt(1, 1), 0);
}

TEST_F(SaveProjectTest, RefusesNamesAndValuesTheFileCouldNotHoldAgain) {
  for (const char* name : {"a;b", "x/y", "[grade7]"}) {
    ProjectDialogValues v = Values(2);
    v.sname = name;
    EXPECT_FALSE(SaveProject(session, v, SaveMode::New)) << name;
  }
  ASSERT_EQ(port.messages.size(), 3u);
  EXPECT_EQ(port.messages[0].caption, "More information needed");
  port.messages.clear();
  for (const std::string& folder : {t + "a=b", t + "a\r\nsname=other"}) {
    ProjectDialogValues v = Values(2);
    v.train[1] = folder;
    EXPECT_FALSE(SaveProject(session, v, SaveMode::New));
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text,
              "A folder or name may not contain \"=\" or a line break:\r\n" + folder);
    port.messages.clear();
  }
  // A group name is a value of the file like any other.
  ProjectDialogValues named = Values(2);
  named.groupNames = {"weak", "strong\r\nsname=other"};
  EXPECT_FALSE(SaveProject(session, named, SaveMode::New));
  EXPECT_EQ(port.messages.size(), 1u);
  EXPECT_FALSE(FileExists(t + "proj/grade7.trn"));
}

TEST_F(SaveProjectTest, ReplacingADatabaseIsAskedAndOffersABackup) {
  ProjectDialogValues v = Values(2);
  ASSERT_TRUE(SaveProject(session, v, SaveMode::New));
  ASSERT_TRUE(session.OpenProjectDatabase());
  session.db.Exec("INSERT INTO calib (filen, gr) VALUES ('a.txt', 1)");
  auto calibRows = [](Database& db) {
    db.Statement(1, "SELECT COUNT(*) FROM calib");
    db.FetchResult(1);
    return db.ColumnSInt(1, 1);
  };
  port.answers = {Answer::Cancel};
  EXPECT_FALSE(SaveProject(session, v, SaveMode::New));
  EXPECT_EQ(port.messages.back().caption, "New Project");
  EXPECT_EQ(calibRows(session.db), 1);

  port.answers = {Answer::Ok, Answer::Yes};
  ASSERT_TRUE(SaveProject(session, v, SaveMode::New));
  ASSERT_TRUE(session.OpenProjectDatabase());
  EXPECT_EQ(calibRows(session.db), 0);
  Database backup;
  ASSERT_TRUE(backup.OpenFile(t + "proj/grade70.db"));
  EXPECT_EQ(calibRows(backup), 1);
}

TEST_F(SaveProjectTest, ADatabaseThatCannotBeCreatedIsNoNewProject) {
  tmp.Write("proj/grade7.db/keep", "");  // a folder where the file should go
  ProjectDialogValues v = Values(2);
  EXPECT_FALSE(SaveProject(session, v, SaveMode::New));
  EXPECT_EQ(port.messages.back().text, "Could not create the database " + t + "proj/grade7.db");
}

TEST_F(SaveProjectTest, ProjectsOfOneNameInTwoFoldersKeepTheirOwnDatabases) {
  ProjectDialogValues first = Values(2);
  ASSERT_TRUE(SaveProject(session, first, SaveMode::New));
  ProjectDialogValues second = Values(2);
  second.root = t + "other";
  ASSERT_TRUE(SaveProject(session, second, SaveMode::New));
  ASSERT_TRUE(session.LoadProject(t + "proj/grade7.trn"));
  session.db.Exec("INSERT INTO calib (filen, gr) VALUES ('a.txt', 1)");
  ASSERT_TRUE(session.LoadProject(t + "other/grade7.trn"));
  EXPECT_EQ(session.db.FilePath(), t + "other/grade7.db");
  ASSERT_TRUE(session.LoadProject(t + "proj/grade7.trn"));
  EXPECT_EQ(session.db.FilePath(), t + "proj/grade7.db");
}

TEST(FieldRules, ThresholdEdits) {
  EXPECT_EQ(FilterThresholdField("10a0a", false), "100");
  EXPECT_EQ(FilterThresholdField("1-2 3", false), "123");
  EXPECT_EQ(FilterThresholdField("12", false), "12");
  EXPECT_EQ(FilterThresholdField("0.30", true), "0.30");
  EXPECT_EQ(FilterThresholdField("1.5", true), ".5");
  EXPECT_EQ(FilterThresholdField("12", true), "");  // "2" is still above 1
}

TEST(FieldRules, PriorEditsCompleteTheLastPrior) {
  std::vector<std::string> p = {"1.5", "", ""};
  EXPECT_FALSE(FilterPriorField(p, 1));
  EXPECT_EQ(p, (std::vector<std::string>{".5", "", ".5"}));

  p = {"0.5", "0.7", ""};
  EXPECT_TRUE(FilterPriorField(p, 2));
  EXPECT_EQ(p[2], "-.2");

  // Typing 1, 1, 2: the warning comes with the second prior; the last one
  // changes nothing.
  p = {"1", "", ""};
  EXPECT_FALSE(FilterPriorField(p, 1));
  EXPECT_EQ(p[2], "0");
  p[1] = "1";
  EXPECT_TRUE(FilterPriorField(p, 2));
  p[2] = "2";
  EXPECT_FALSE(FilterPriorField(p, 3));
  EXPECT_EQ(p, (std::vector<std::string>{"1", "1", "2"}));

  p = {"0.1x", "0.333333", "9"};
  EXPECT_FALSE(FilterPriorField(p, 1));
  EXPECT_EQ(p, (std::vector<std::string>{"0.1", "0.333333", ".566667"}));
  p = {"", "", "5"};  // nothing typed: nothing to complete
  EXPECT_FALSE(FilterPriorField(p, 2));
  EXPECT_EQ(p[2], "5");
}

}  // namespace
}  // namespace tarne
