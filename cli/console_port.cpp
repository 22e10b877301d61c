#include "console_port.h"

#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "scoring/scoring.h"

namespace tarne::cli {

namespace {

std::atomic<bool> gInterrupted{false};

extern "C" void OnInterrupt(int) {
  gInterrupted = true;
  // A second Ctrl-C ends the program the usual way.
  std::signal(SIGINT, SIG_DFL);
}

const char* AnswerName(Answer a) {
  switch (a) {
    case Answer::Ok: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
  }
  return "";
}

}  // namespace

std::string ForConsole(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

ConsolePort::ConsolePort() {
  pane_.SetKeepText(false);
  terminal_ = isatty(STDERR_FILENO) == 1;
  gInterrupted = false;
  std::signal(SIGINT, OnInterrupt);
}

ConsolePort::~ConsolePort() {
  ClearProgressLine();
  std::signal(SIGINT, SIG_DFL);
  std::cout.flush();
}

bool ConsolePort::interrupted() const { return gInterrupted; }

int ConsolePort::AppendToPane(const std::string& text) {
  int ok = pane_.Append(text);
  if (ok && !jsonOutput) {
    ClearProgressLine();
    const std::string shown = ForConsole(text);
    std::cout.write(shown.data(), static_cast<std::streamsize>(shown.size()));
    std::cout.flush();
  }
  return ok;
}

std::string ConsolePort::AskPassword(const std::string& connection) {
  // The terminal itself, so that a password never comes from a file or a
  // pipe meant as the command's input, nor goes to its output.
  FILE* tty = std::fopen("/dev/tty", "r+");
  if (!tty) return {};
  ClearProgressLine();
  std::fprintf(tty, "Password for %s: ", connection.c_str());
  std::fflush(tty);
  termios saved{};
  const bool quiet = tcgetattr(fileno(tty), &saved) == 0;
  if (quiet) {
    termios silent = saved;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(fileno(tty), TCSAFLUSH, &silent);
  }
  std::string password;
  for (int c; (c = std::fgetc(tty)) != EOF && c != '\n';) password += static_cast<char>(c);
  if (quiet) tcsetattr(fileno(tty), TCSAFLUSH, &saved);
  std::fputc('\n', tty);
  std::fclose(tty);
  return password;
}

Answer ConsolePort::MessageBox(const std::string& text, const std::string& caption,
                               Buttons buttons, Icon) {
  ClearProgressLine();
  std::cout.flush();
  Answer answer = Answer::Ok;
  switch (buttons) {
    case Buttons::Ok: answer = Answer::Ok; break;
    case Buttons::OkCancel:
      answer = confirm ? Answer::Ok : Answer::Cancel;
      if (!confirm) refusedConfirmation = true;
      break;
    case Buttons::YesNo: answer = Answer::Yes; break;
    case Buttons::YesNoCancel: answer = backup ? Answer::Yes : Answer::No; break;
  }
  std::string shown = ForConsole(text);
  if (!caption.empty()) shown = caption + ": " + shown;
  if (buttons != Buttons::Ok) shown += std::string(" [") + AnswerName(answer) + "]";
  std::cerr << shown << "\n";
  if (buttons == Buttons::OkCancel && !confirm)
    std::cerr << "Cancelled: run the command again with --yes to confirm.\n";
  return answer;
}

ProgressHandle ConsolePort::PROGRESS_INIT(const std::string& caption) {
  ProgressHandle h = model_.Init(caption);
  return h;
}

void ConsolePort::PROGRESS_SET(ProgressHandle window, int percent, const std::string& text) {
  model_.Set(window, percent, text);
  if (!terminal_) return;
  const ProgressModel::Window* w = model_.Find(window);
  if (!w) return;
  std::string line = w->caption + "  " + std::to_string(w->position) + "%  " + w->status;
  if (line.size() > 200) line.resize(200);
  std::cerr << "\r" << line << "\x1b[K" << std::flush;
  lineShown_ = true;
}

void ConsolePort::PROGRESS_SHUTDOWN(ProgressHandle window) {
  model_.Shutdown(window);
  ClearProgressLine();
}

int ConsolePort::PROGESS_IS_CANCELLED(ProgressHandle window) {
  if (gInterrupted && !model_.AllCancelled()) model_.CancelAll();
  return model_.IsCancelled(window);
}

void ConsolePort::ProcessPendingMessages() {
  if (gInterrupted && !model_.AllCancelled()) model_.CancelAll();
}

int ConsolePort::ShowErrorAnalysis(const std::vector<ErrorEntry>& errors, int, int what,
                                   std::vector<std::string>& flagged) {
  ClearProgressLine();
  if (printErrors) {
    std::ostream& out = jsonOutput ? std::cerr : std::cout;
    for (const ErrorEntry& e : errors) out << e.path << " " << e.probabilities << "\n";
    out.flush();
  }
  if (!untrainFlagged || what != 2) return 0;
  flagged.clear();
  for (const ErrorEntry& e : errors) {
    if (!IsPreTicked(e.probabilities)) continue;
    std::string group = std::to_string(e.trueGroup);
    if (group.size() < 2) group = " " + group;
    flagged.push_back(group + e.path);
  }
  if (flagged.empty()) {
    std::cerr << "No misclassified essay reached 98%: nothing to untrain.\n";
    return 0;
  }
  // Untraining changes the training data for good: the files are listed and
  // the removal confirmed like any other destructive command.
  std::string list;
  for (const std::string& item : flagged) list += "\n  " + item.substr(2);
  if (MessageBox("Untrain these " + std::to_string(flagged.size()) + " essays?" + list,
                 "Error analysis", Buttons::OkCancel, Icon::Question) != Answer::Ok) {
    flagged.clear();
    return 0;
  }
  return 1;
}

void ConsolePort::ClearProgressLine() {
  if (lineShown_) {
    std::cerr << "\r\x1b[K" << std::flush;
    lineShown_ = false;
  }
}

}  // namespace tarne::cli
