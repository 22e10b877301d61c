#include "shell/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/temp_folder.h"

namespace tarne {
namespace {

// Essays are read from regular files only, whole, up to the limit; a pipe in
// the folder is refused without waiting for a writer.
TEST(ReadRegularFileUpTo, ReadsRegularFilesWholeAndRefusesTheRest) {
  testing::TempFolder dir;
  const std::string text = "first line\r\n" + std::string(70000, 'x');
  const std::string fifo = dir.Path() + "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;
    size_t limit;
    ReadBytes read;
    std::string out;
  };
  const Case cases[] = {
      {dir.Write("essay.txt", text), 1 << 20, ReadBytes::kRead, text},
      {dir.Write("empty.txt", ""), 10, ReadBytes::kRead, ""},
      {dir.Write("ten.txt", "0123456789"), 10, ReadBytes::kRead, "0123456789"},
      {dir.Write("eleven.txt", "0123456789a"), 10, ReadBytes::kTooLarge, ""},
      {dir.Sub("folder"), 10, ReadBytes::kFailed, ""},
      {fifo, 10, ReadBytes::kFailed, ""},
      {dir.Path() + "missing.txt", 10, ReadBytes::kFailed, ""},
      {"/dev/zero", 10, ReadBytes::kFailed, ""},
  };
  for (const Case& c : cases) {
    std::string out = "left over";
    EXPECT_EQ(ReadRegularFileUpTo(c.path, out, c.limit), c.read) << c.path;
    EXPECT_EQ(out, c.out) << c.path;
  }
}

}  // namespace
}  // namespace tarne
