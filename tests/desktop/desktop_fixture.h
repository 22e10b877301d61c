// What the desktop suites share: a main window over a temporary
// configuration folder, message boxes answered by script, and projects made
// from the sample essays.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "main_window.h"
#include "support/temp_folder.h"

namespace tarne::testing {

struct Box {
  std::string text;
  std::string caption;
};

class DesktopFixture {
 public:
  DesktopFixture();
  ~DesktopFixture();

  desktop::MainWindow& Window() { return *window_; }
  // Creates a project of the three sample groups in temp/name/ through the
  // dialog's saving; the window's session then holds it (no load).
  bool SaveExampleProject(const std::string& name);
  // The same project made by another session; answers its project file.
  std::string MakeExampleProject(const std::string& name);
  // The project dialog answers by saving the example project.
  void DialogCreates(const std::string& name);
  // A number from the window's open database.
  double Value(const std::string& sql);
  bool SawBox(const std::string& text) const;

  TempFolder temp;
  std::deque<Answer> answers;  // taken in order; then each box's first button
  std::vector<Box> boxes;

 private:
  std::unique_ptr<desktop::MainWindow> window_;
};

}  // namespace tarne::testing
