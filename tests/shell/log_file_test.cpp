#include "shell/log_file.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <regex>

#include "support/recording_port.h"
#include "support/temp_folder.h"

namespace tarne {
namespace {

using testing::ReadFile;
using testing::RecordingPort;
using testing::TempFolder;

// Reads "MM-DD-YYYY hh:mm:ss" back as local time.
std::time_t ParseStamp(const std::string& stamp) {
  std::tm t{};
  EXPECT_EQ(std::sscanf(stamp.c_str(), "%2d-%2d-%4d %2d:%2d:%2d", &t.tm_mon, &t.tm_mday, &t.tm_year,
                        &t.tm_hour, &t.tm_min, &t.tm_sec),
            6);
  t.tm_mon -= 1;
  t.tm_year -= 1900;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

TEST(LogFile, TimestampIsMonthDayYearAnd24Hours) {
  const char* old = std::getenv("TZ");
  std::string saved = old ? old : "";
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(LocalTimestamp(1016101325), "03-14-2002 10:22:05");
  EXPECT_EQ(LocalTimestamp(1016101325 + 12 * 3600), "03-14-2002 22:22:05");
  EXPECT_EQ(LocalTimestamp(0), "01-01-1970 00:00:00");
  if (old) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
}

TEST(LogFile, AppendsLinesAndCreatesTheFile) {
  TempFolder folder;
  const std::string path = folder.Path() + "grade7.log";
  const std::time_t before = std::time(nullptr);
  ASSERT_TRUE(AppendLogLine(path, "Project grade7 created"));
  ASSERT_TRUE(AppendLogLine(path, "Database grade7 created"));
  const std::time_t after = std::time(nullptr);

  const std::string text = ReadFile(path);
  const std::regex line("(\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d) ([^\\r\\n]*)\\r\\n");
  std::vector<std::string> messages;
  for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it) {
    EXPECT_EQ(it->position(), static_cast<long>(messages.empty() ? 0 : text.find('\n') + 1));
    std::time_t when = ParseStamp((*it)[1]);
    EXPECT_GE(when, before);
    EXPECT_LE(when, after);
    messages.push_back((*it)[2]);
  }
  EXPECT_EQ(messages, (std::vector<std::string>{"Project grade7 created", "Database grade7 created"}));
  EXPECT_EQ(text.size(), 2 * 20 + messages[0].size() + messages[1].size() + 4);
}

TEST(LogFile, UnwritablePathFailsQuietly) {
  TempFolder folder;
  EXPECT_FALSE(AppendLogLine(folder.Path() + "missing/x.log", "lost"));
  EXPECT_FALSE(AppendLogLine("", "lost"));
}

TEST(LogFile, PortBaseVersionWritesTheFile) {
  TempFolder folder;
  RecordingPort port;
  const std::string path = folder.Path() + "p.log";
  port.WriteProjectLogLine(path, "Remove files started 3 files flagged");
  EXPECT_EQ(port.logLines, (std::vector<std::string>{"Remove files started 3 files flagged"}));
  const std::string text = ReadFile(path);
  ASSERT_EQ(text.size(), 20 + 36 + 2u);
  EXPECT_EQ(text.substr(20), "Remove files started 3 files flagged\r\n");
  // A folder that does not exist loses the line without trouble.
  port.WriteProjectLogLine(folder.Path() + "nowhere/p.log", "dropped");
}

}  // namespace
}  // namespace tarne
