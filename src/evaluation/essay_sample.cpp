#include "evaluation/essay_sample.h"

#include <algorithm>
#include <random>

#include "project/settings.h"
#include "shell/blanks.h"
#include "text/tokenizer.h"
#include "training/essay_tokens.h"
#include "training/training.h"

namespace tarne {

namespace {

// The tokens of a normalised text for one kind, under the project's
// counting rules.  known: only tokens the index holds (essays that are only
// scored); otherwise new ones are added.
void CountKind(const std::string& normal, TokenKind kind, const CountingRules& rules,
               TokenIndex& index, bool known, std::vector<EssayToken>& out) {
  out.clear();
  std::vector<std::int32_t> at;  // position in out per token met in this essay
  ForEachCountedSentence(normal, Number(kind), false, nullptr, rules,
                         [&](const std::vector<TokenRun>& runs) {
                           for (const TokenRun& run : runs) {
                             std::uint32_t id = index.Find(run.token);
                             if (id == TokenIndex::kNone) {
                               if (known) continue;
                               id = index.Add(run.token).first;
                             }
                             const int n = std::min(run.occurrences, kMaxOccurrences);
                             if (id >= at.size()) at.resize(id + 1, -1);
                             if (at[id] < 0) {
                               at[id] = static_cast<std::int32_t>(out.size());
                               out.push_back({id, n, n - 1});
                             } else {
                               out[static_cast<size_t>(at[id])].count += n;
                             }
                           }
                         });
}

}  // namespace

bool EssaySample::Load(const ProjectSettings& settings,
                       const std::function<bool(int, int)>& progress) {
  groups_ = settings.Groups();
  struct File {
    std::string path;
    int group;
    bool trial;
  };
  std::vector<File> files;
  for (int g = 1; g <= groups_; ++g) {
    if (g <= static_cast<int>(settings.path2train.size()))
      for (const std::string& name : ListEssayFiles(settings.path2train[g - 1]))
        files.push_back({JoinPath(settings.path2train[g - 1], name), g, false});
  }
  for (int g = 1; g <= groups_; ++g) {
    if (g <= static_cast<int>(settings.path2trial.size()))
      for (const std::string& name : ListEssayFiles(settings.path2trial[g - 1]))
        files.push_back({JoinPath(settings.path2trial[g - 1], name), g, true});
  }

  const int total = static_cast<int>(files.size());
  int done = 0;
  for (const File& file : files) {
    if (progress && !progress(done++, total)) return false;
    std::string text, why;
    if (ReadEssayText(file.path, text, why) != EssayRead::kRead) {
      ++notRead_;
      continue;
    }
    SampleEssay essay;
    essay.path = file.path;
    essay.group = file.group;
    if (!file.trial) {
      // As a training run takes an essay: trimmed, too short ones left out.
      text = TrimBlanks(text);
      if (text.size() <= 5) {
        ++short_;
        continue;
      }
      text = LowerAscii(std::move(text));
    }
    NormalizeEssayText(text);
    for (TokenKind kind : {TokenKind::Words, TokenKind::Pairs})
      CountKind(text, kind, settings.rules, index_[KindSlot(kind)], file.trial,
                essay.tokens[KindSlot(kind)]);
    (file.trial ? trial_ : training_).push_back(std::move(essay));
  }
  return true;
}

void EssaySample::AssignFolds(int folds, std::uint32_t seed) {
  folds_ = folds;
  // mt19937's numbers are the same everywhere; std::shuffle's use of them is
  // not, so the shuffle is written out.
  std::mt19937 random(seed);
  int next = 0;
  for (int g = 1; g <= groups_; ++g) {
    std::vector<size_t> members;
    for (size_t i = 0; i < training_.size(); ++i)
      if (training_[i].group == g) members.push_back(i);
    for (size_t i = members.size(); i > 1; --i)
      std::swap(members[i - 1], members[random() % i]);
    for (size_t i : members) {
      training_[i].fold = next;
      next = (next + 1) % folds;
    }
  }
}

}  // namespace tarne
