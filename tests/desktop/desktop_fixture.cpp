#include "desktop_fixture.h"

#include "project/save_project.h"
#include "project/session.h"
#include "support/recording_port.h"

namespace tarne::testing {

namespace {

ProjectDialogValues ExampleValues(const std::string& root, const std::string& name) {
  ProjectDialogValues v;
  v.groups = 3;
  v.sname = name;
  v.root = root;
  const std::string examples = std::string(TARNE_SOURCE_DIR) + "/examples/";
  for (int g = 1; g <= 3; ++g) {
    v.train.push_back(examples + "train/g" + std::to_string(g) + "/");
    v.trial.push_back(examples + "trial/g" + std::to_string(g) + "/");
    v.priors.push_back("1");
  }
  return v;
}

}  // namespace

DesktopFixture::DesktopFixture() {
  window_ = std::make_unique<desktop::MainWindow>(temp.Sub("config"));
  window_->Port().answer = [this](const std::string& text, const std::string& caption,
                                  Buttons buttons) {
    boxes.push_back({text, caption});
    if (!answers.empty()) {
      Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
  };
}

DesktopFixture::~DesktopFixture() { window_.reset(); }

bool DesktopFixture::SaveExampleProject(const std::string& name) {
  ProjectDialogValues v = ExampleValues(temp.Sub(name), name);
  return SaveProject(window_->CurrentSession(), v, SaveMode::New);
}

std::string DesktopFixture::MakeExampleProject(const std::string& name) {
  RecordingPort port;
  Session session(port, window_->CurrentSession().configFolder);
  ProjectDialogValues v = ExampleValues(temp.Sub(name), name);
  if (!SaveProject(session, v, SaveMode::New)) return {};
  return session.settings.ProjectFilePath();
}

void DesktopFixture::DialogCreates(const std::string& name) {
  window_->choosers.projectDialog = [this, name](SaveMode) { return SaveExampleProject(name); };
}

double DesktopFixture::Value(const std::string& sql) {
  Database& db = window_->CurrentSession().db;
  db.Statement(1, sql);
  db.FetchResult(1);
  return db.EndOfData(1) ? -1 : db.ColumnFloat(1, 1);
}

bool DesktopFixture::SawBox(const std::string& text) const {
  for (const Box& b : boxes)
    if (b.text.find(text) != std::string::npos) return true;
  return false;
}

}  // namespace tarne::testing
