#include "args.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "shell/file_bytes.h"
#include "text/essay_encoding.h"

namespace tarne::cli {

std::string Args::Value(const std::string& option, const std::string& fallback) const {
  auto it = values.find(option);
  if (it == values.end() || it->second.empty()) return fallback;
  return it->second.back();
}

const std::vector<std::string>& Args::All(const std::string& option) const {
  static const std::vector<std::string> none;
  auto it = values.find(option);
  return it == values.end() ? none : it->second;
}

Args ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
               const std::set<std::string>& flagOptions) {
  Args out;
  bool onlyPositional = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyPositional || a.size() < 3 || a.compare(0, 2, "--") != 0) {
      if (a == "--") { onlyPositional = true; continue; }
      out.positional.push_back(a);
      continue;
    }
    std::string name = a.substr(2);
    std::string value;
    bool hasValue = false;
    if (auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      hasValue = true;
    }
    if (valueOptions.count(name)) {
      if (!hasValue) {
        if (i + 1 >= args.size()) {
          out.error = "--" + name + " needs a value";
          return out;
        }
        value = args[++i];
      }
      out.values[name].push_back(value);
    } else if (flagOptions.count(name) && !hasValue) {
      out.flags.insert(name);
    } else {
      out.error = "unknown option --" + name;
      return out;
    }
  }
  return out;
}

int UsageError(const std::string& message, const std::string& usage) {
  std::cerr << "tarne-cli: " << message << "\n" << usage;
  return 2;
}

ReadBytes ReadStandardInput(std::string& out) {
  out.clear();
  char buffer[65536];
  while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
    const auto got = static_cast<std::size_t>(std::cin.gcount());
    if (got > kEssayLimitBytes - out.size()) {
      out.clear();
      return ReadBytes::kTooLarge;
    }
    out.append(buffer, got);
  }
  return std::cin.bad() ? ReadBytes::kFailed : ReadBytes::kRead;
}

bool ReadEssayArgument(const std::string& path, std::string& out) {
  const std::string shown = path == "-" ? std::string("standard input") : path;
  const ReadBytes read = path == "-" ? ReadStandardInput(out)
                                     : ReadFileBytesUpTo(path, out, kEssayLimitBytes);
  if (read == ReadBytes::kTooLarge) {
    std::cerr << "tarne-cli: " << EssayTooLargeMessage(shown) << "\n";
    return false;
  }
  if (read != ReadBytes::kRead) {
    const bool folder = path != "-" && IsFolder(path);
    std::cerr << "tarne-cli: " << (folder ? shown + " is a folder, not a file" : "could not read " + shown)
              << "\n";
    return false;
  }
  if (DecodeEssayBytes(out) == EssayEncoding::kNotText) {
    std::cerr << "tarne-cli: Not a text file: " << shown << "\n";
    return false;
  }
  return true;
}

bool ParseCountingRules(const Args& a, CountingRules& rules, std::string& message) {
  rules = CountingRules();
  rules.allSentences = a.Has("all-sentences");
  if (a.All("min-word-length").empty()) return true;
  const std::string length = a.Value("min-word-length");
  if (length.size() != 1 || length[0] < '0' + kLeastMinWordLength ||
      length[0] > '0' + kClassicMinWordLength) {
    message = "--min-word-length must be 2, 3 or 4";
    return false;
  }
  rules.minWordLength = length[0] - '0';
  return true;
}

bool ParsePositiveNumber(const std::string& text, double& value) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(parsed) || parsed <= 0)
    return false;
  value = parsed;
  return true;
}

int KindFromName(const std::string& name) {
  if (name == "words") return 1;
  if (name == "pairs" || name == "phrases") return 2;
  if (name == "arguments") return 3;
  return 0;
}

}  // namespace tarne::cli
