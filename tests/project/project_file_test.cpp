// The project file: the text saving writes, the rules loading applies, and
// folder normalisation.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <iterator>

#include "project/settings.h"
#include "project/text_lines.h"
#include "shell/numbers.h"
#include "support/temp_folder.h"

namespace tarne {
namespace {

using testing::TempFolder;

const char* const kThreeGroupsText =
    "incats= 3\r\ndbprogram=MSACCESS\r\nsname=grade7\r\npath2root=/data/proj/\r\n"
    "path2msa=\r\npath2new=/data/new/\r\n"
    "path2train1=/t/1/\r\npath2trial1=/r/1/\r\npriors1=.25\r\n"
    "path2train2=/t/2/\r\npath2trial2=/r/2/\r\npriors2=.25\r\n"
    "path2train3=/t/3/\r\npath2trial3=/r/3/\r\npriors3=.5\r\n"
    "common= 1000\r\nrare= 40\r\nlowinfo= .300000011920929\r\nwkeep= 0\r\n\r\n";

TEST(ProjectFile, WritesTheLinesAndLoadsThemBack) {
  ProjectSettings s;
  s.incats = 3;
  s.dbprogram = "MSACCESS";
  s.sname = "grade7";
  s.path2root = "/data/proj/";
  s.path2new = "/data/new/";
  s.path2train = {"/t/1/", "/t/2/", "/t/3/"};
  s.path2trial = {"/r/1/", "/r/2/", "/r/3/"};
  s.priors = {0.25, 0.25, 0.5};
  s.common = 1000;
  s.rare = 40;
  s.lowinfo = kLowInfoDefault;
  EXPECT_EQ(ProjectFileText(s), kThreeGroupsText);

  TempFolder tmp;
  ProjectSettings loaded;
  ASSERT_TRUE(LoadProjectFile(tmp.Write("grade7.trn", kThreeGroupsText), loaded));
  EXPECT_EQ(loaded.path2trial[2], "/r/3/");
  EXPECT_EQ(loaded.lowinfo, 0.300000011920929);  // 15 digits, as written
  EXPECT_EQ(ProjectFileText(loaded), kThreeGroupsText);

  loaded.common = 5;
  EXPECT_FALSE(LoadProjectFile(tmp.Path() + "none.trn", loaded));
  EXPECT_FALSE(LoadProjectFile(tmp.Path(), loaded));  // a folder is no project file
  EXPECT_EQ(loaded.common, 5);
}

TEST(ProjectFile, KeyMatchingRules) {
  TempFolder tmp;
  ProjectSettings s;
  ASSERT_TRUE(LoadProjectFile(tmp.Write("a.trn", "Incats = 4\r\n"), s));
  EXPECT_EQ(s.Groups(), 4);
  EXPECT_EQ(s.priors.size(), 4u);
  // Only the characters before the last are compared.
  ASSERT_TRUE(LoadProjectFile(tmp.Write("b.trn", "incatz=3\r\n"), s));
  EXPECT_EQ(s.Groups(), 3);

  // A second "=" (or none) makes the line unusable.  Lines end at CR LF or a
  // bare LF, and the last line needs no line end.
  ASSERT_TRUE(LoadProjectFile(
      tmp.Write("c.trn", "sname=old\nsname=a=b\r\npath2root /x/\r\nSNAME= new "), s));
  EXPECT_EQ(s.sname, "new");
  EXPECT_EQ(s.path2root, "");

  // Groups come from the key's last character; outside 1..G they are ignored.
  ASSERT_TRUE(LoadProjectFile(
      tmp.Write("d.trn", "path2train2=/two/\r\npath2trial9=/nine/\r\npriors0=.7\r\n"
                         "priors3= .4\r\nwkeep= 1.6\r\n"),
      s));
  EXPECT_EQ(s.path2train, (std::vector<std::string>{"", "/two/", ""}));
  EXPECT_EQ(s.path2trial, (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(s.priors, (std::vector<double>{0, 0, .4}));
  EXPECT_EQ(s.wkeep, 2);

  // A later group-count line empties the sequences again.
  ASSERT_TRUE(LoadProjectFile(
      tmp.Write("e.trn", "path2train1=/lost/\r\nincats= 2\r\npath2trial1=/kept/\r\n"), s));
  EXPECT_EQ(s.path2train, (std::vector<std::string>{"", ""}));
  EXPECT_EQ(s.path2trial[0], "/kept/");

  // Group counts the database cannot hold are brought into 0..5.
  ASSERT_TRUE(LoadProjectFile(tmp.Write("f.trn", "incats=-3\r\n"), s));
  EXPECT_TRUE(s.Groups() == 0 && s.priors.empty());
  ASSERT_TRUE(LoadProjectFile(tmp.Write("g.trn", "incats=1E+300\r\n"), s));
  EXPECT_TRUE(s.Groups() == 5 && s.path2train.size() == 5u);
}

TEST(ProjectFile, AGroupCountOutside2To5IsRefused) {
  TempFolder tmp;
  const std::pair<const char*, const char*> cases[] = {
      {"incats= 3\r\n", ""},
      {"incats= 5\r\nincatz= 2\r\n", ""},
      {"incats= 1\r\n", "incats must be a group count from 2 to 5 (it is 1)"},
      {"incats= -3\r\n", "incats must be a group count from 2 to 5 (it is -3)"},
      {"incats= 7\r\n", "incats must be a group count from 2 to 5 (it is 7)"},
      {"incats= 2.5\r\n", "incats must be a group count from 2 to 5 (it is 2.5)"},
      {"sname=x\r\n", "incats must be a group count from 2 to 5 (the line is missing)"},
  };
  for (const auto& [text, problem] : cases)
    EXPECT_EQ(GroupCountProblem(tmp.Write("p.trn", text)), problem) << text;
}

TEST(ProjectFile, ThresholdsResetThenDefaulted) {
  TempFolder tmp;
  ProjectSettings s;
  s.common = 7;
  s.rare = 8;
  s.lowinfo = 0.9;
  ASSERT_TRUE(LoadProjectFile(tmp.Write("t.trn", "rare=abc\r\ncommon= 0\r\n"), s));
  EXPECT_EQ(s.common, 1000);
  EXPECT_EQ(s.rare, 40);
  EXPECT_EQ(s.lowinfo, 0.30000001192092896);
  ASSERT_TRUE(LoadProjectFile(tmp.Write("u.trn", "lowinfo= .25\r\nrare=12.5\r\n"), s));
  EXPECT_EQ(s.lowinfo, .25);
  EXPECT_EQ(s.rare, 12.5);
}

TEST(ProjectFile, CountingRulesAreWrittenOnlyWhenNotClassic) {
  TempFolder tmp;
  ProjectSettings s;
  ASSERT_TRUE(LoadProjectFile(tmp.Write("classic.trn", kThreeGroupsText), s));
  s.rules = {true, 2};
  const std::string text = ProjectFileText(s);
  EXPECT_EQ(text.substr(text.find("wkeep")), "wkeep= 0\r\nallsentences= 1\r\nminwordlength= 2\r\n\r\n");
  ProjectSettings loaded;
  ASSERT_TRUE(LoadProjectFile(tmp.Write("new.trn", text), loaded));
  EXPECT_EQ(loaded.rules, (CountingRules{true, 2}));
  // A file without the keys reads as the classic rules, whatever was open.
  ASSERT_TRUE(LoadProjectFile(tmp.Path() + "classic.trn", loaded));
  EXPECT_TRUE(loaded.rules.Classic());

  // Lengths outside 2..4 are brought into range.
  ASSERT_TRUE(LoadProjectFile(tmp.Write("r.trn", "minwordlength= 1\r\nAllSentences=2\r\n"), loaded));
  EXPECT_EQ(loaded.rules, (CountingRules{true, 2}));
}

TEST(ProjectFile, GroupNamesAreWrittenOnlyForNamedGroupsAndBelongToOneProject) {
  TempFolder tmp;
  ProjectSettings s;
  ASSERT_TRUE(LoadProjectFile(tmp.Write("classic.trn", kThreeGroupsText), s));
  EXPECT_EQ(s.groupNames, (std::vector<std::string>{"", "", ""}));
  s.groupNames = {"weak", "", "strong"};
  const std::string text = ProjectFileText(s);
  EXPECT_EQ(text.substr(text.find("wkeep")), "wkeep= 0\r\ngroupname1=weak\r\ngroupname3=strong\r\n\r\n");
  ProjectSettings loaded;
  ASSERT_TRUE(LoadProjectFile(tmp.Write("named.trn", text), loaded));
  EXPECT_EQ(loaded.groupNames, s.groupNames);
  EXPECT_EQ(GroupName(loaded.groupNames, 3), "strong");
  EXPECT_EQ(GroupName(loaded.groupNames, 4), "");
  // The next project without names shows none of these.
  ASSERT_TRUE(LoadProjectFile(tmp.Path() + "classic.trn", loaded));
  EXPECT_EQ(ProjectFileText(loaded), kThreeGroupsText);
}

// A write that fails part way (here the file-size limit stands in for a
// full disk) leaves the file as it was and nothing beside it; a link to the
// file stays a link.
TEST(ProjectFile, AFailedWriteLeavesTheFileAsItWas) {
  TempFolder tmp;
  const std::string file = tmp.Path() + "grade7.trn";
  const std::string link = tmp.Path() + "link.trn";
  ASSERT_TRUE(project_text::WriteWholeFile(file, kThreeGroupsText));
  std::filesystem::create_symlink(file, link);
  ASSERT_TRUE(project_text::WriteWholeFile(link, "incats= 2\r\n"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));

  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = project_text::WriteWholeFile(file, kThreeGroupsText);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  std::string text;
  ASSERT_TRUE(project_text::ReadWholeFile(file, text));
  EXPECT_EQ(text, "incats= 2\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.Path()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST(NormalizeFolder, TrimsAddsSlashAndCreates) {
  TempFolder tmp;
  std::string folder = "  " + tmp.Path() + "a/b  ";
  EXPECT_TRUE(NormalizeFolder(folder));
  EXPECT_EQ(folder, tmp.Path() + "a/b/");
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_FALSE(NormalizeFolder(folder));  // already there, unchanged

  std::string shortText = " ab ";
  EXPECT_FALSE(NormalizeFolder(shortText));
  EXPECT_EQ(shortText, "ab");
}

}  // namespace
}  // namespace tarne
