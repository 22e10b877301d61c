// A small option parser for the commands: "--name value", "--name=value",
// repeated options, bare flags and positional arguments.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "text/tokenizer.h"

#include "shell/file_bytes.h"

namespace tarne::cli {

struct Args {
  std::vector<std::string> positional;
  std::map<std::string, std::vector<std::string>> values;  // options taking a value
  std::set<std::string> flags;                              // bare options
  std::string error;  // set when the line could not be parsed

  bool Has(const std::string& flag) const { return flags.count(flag) > 0; }
  // The last value given for option, or fallback.
  std::string Value(const std::string& option, const std::string& fallback = {}) const;
  const std::vector<std::string>& All(const std::string& option) const;
};

// valueOptions: options that take a value; flagOptions: bare options.  Any
// other option is an error.  "-" alone is positional.
Args ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
               const std::set<std::string>& flagOptions);

// Prints "tarne-cli: " + message and the usage text on stderr; answers 2.
int UsageError(const std::string& message, const std::string& usage);

// Reads standard input as bytes, up to the size an essay may have.
ReadBytes ReadStandardInput(std::string& out);

// Reads an essay the way the runs read one (decoded for the tokenizer); on
// failure prints why on stderr and answers false.
bool ReadEssayArgument(const std::string& path, std::string& out);

// The counting rules of --all-sentences and --min-word-length N (2, 3 or 4)
// as new and import take them; false, with a usage message, for another N.
bool ParseCountingRules(const Args& a, CountingRules& rules, std::string& message);

// A whole text that reads as a finite number above 0 ("0.1", "1e-3").
bool ParsePositiveNumber(const std::string& text, double& value);

// "words" 1, "pairs"/"phrases" 2, "arguments" 3; 0 when none of these.
int KindFromName(const std::string& name);

}  // namespace tarne::cli
