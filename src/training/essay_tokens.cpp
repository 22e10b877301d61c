#include "training/essay_tokens.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "db/gateway.h"
#include "db/prepared_statement.h"
#include "db/server_rows.h"
#include "text/tokenizer.h"

namespace tarne {

bool FrequentWords::Load(Database& db, const char* table) {
  words_.Clear();
  blankless_ = true;
  PreparedStatement query(db, std::string("SELECT Vocab FROM ") + table +
                                  " WHERE isword=1 AND sum > 20");
  if (!query.Ok()) return false;
  while (query.Step()) {
    const std::string_view word = query.Text(0);
    if (word.find(' ') != std::string_view::npos) blankless_ = false;
    words_.Add(word);
  }
  return true;
}

void ArgumentTokens(std::span<const std::string_view> candidates, const FrequentWords& frequent,
                    std::string& buffer, std::vector<std::string_view>& tokens) {
  std::vector<std::string_view> words;
  words.reserve(candidates.size());
  for (std::string_view w : candidates)
    if (frequent.Contains(w)) words.push_back(w);
  std::sort(words.begin(), words.end());
  words.erase(std::unique(words.begin(), words.end()), words.end());
  tokens.clear();
  buffer.clear();
  if (words.size() < 2) return;
  // One buffer for all n(n-1)/2 tokens, sized first so that the views stay put.
  size_t size = 0;
  for (size_t i = 0; i + 1 < words.size(); ++i)
    for (size_t j = i + 1; j < words.size(); ++j) size += words[i].size() + 1 + words[j].size();
  buffer.reserve(size);
  for (size_t i = 0; i + 1 < words.size(); ++i)
    for (size_t j = i + 1; j < words.size(); ++j) {
      const size_t start = buffer.size();
      buffer.append(words[i]).append(1, ' ').append(words[j]);
      tokens.emplace_back(buffer.data() + start, buffer.size() - start);
    }
}

void MarkEssayTokens(Database& db, const char* table, int kind, bool stemmed,
                     const CountingRules& rules, std::string_view normalised) {
  FrequentWords frequent;
  if (kind == 3) frequent.Load(db, table);
  std::unordered_map<std::string, int, TokenHash, std::equal_to<>> counts;
  ForEachCountedSentence(normalised, kind, stemmed, &frequent, rules,
                         [&counts](const std::vector<TokenRun>& runs) {
                           for (const TokenRun& run : runs) {
                             const int n = std::min(run.occurrences, kMaxOccurrences);
                             auto found = counts.find(run.token);
                             if (found == counts.end())
                               counts.emplace(std::string(run.token), n);
                             else
                               found->second += n;
                           }
                         });
  const std::string name = table;
  // Both comparisons, so that the index on the work column finds the rows.
  db.Statement(1, "Update " + name + " set thisessay=0 where thisessay>0 OR thisessay<0");
  const char* flag = kind == 2 ? "isphrase" : kind == 3 ? "isarg" : "isword";
  if (db.IsServer()) {
    // A server's table has no index on the text: every token is joined to
    // it in one statement, each once (the tokens are distinct).
    ServerArray texts(ServerArray::Type::kText);
    ServerArray occurrences(ServerArray::Type::kInt8);
    for (const auto& [token, n] : counts) {
      texts.Add(token);
      occurrences.Add(std::int64_t{n});
    }
    PreparedStatement mark(db, "UPDATE " + name +
                                   " AS t SET thisessay = t.thisessay + x.n FROM (SELECT "
                                   "unnest(?::text[]) AS v, unnest(?::int8[]) AS n) AS x "
                                   "WHERE t.Vocab = x.v AND t." + flag + "=1");
    mark.Bind(1, texts).Bind(2, occurrences).Run();
    return;
  }
  PreparedStatement mark(db, "UPDATE " + name +
                                 " SET thisessay = thisessay + ?1 WHERE Vocab = ?2 AND " + flag +
                                 "=1");
  for (const auto& [token, n] : counts)
    if (!mark.Ok() || !mark.Bind(1, std::int64_t{n}).Bind(2, token).Run()) break;
}

bool QuotedLess(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  if (n > 0) {
    const int c = std::memcmp(a.data(), b.data(), n);
    if (c != 0) return c < 0;
  }
  if (a.size() == b.size()) return false;
  // One is the start of the other: the shorter one's closing quote decides.
  if (a.size() < b.size()) return '\'' < static_cast<unsigned char>(b[n]);
  return static_cast<unsigned char>(a[n]) < '\'';
}

bool SentenceRuns(std::span<const std::string_view> words, int kind,
                  const FrequentWords* frequent, std::string& buffer,
                  std::vector<std::string_view>& tokens, std::vector<TokenRun>& runs) {
  tokens.clear();
  // A sentence of fewer than two kept words has an empty token list.
  if (words.size() < 2) return false;
  switch (kind) {
    case kWords:
      tokens.assign(words.begin(), words.end());
      std::sort(tokens.begin(), tokens.end());
      tokens.erase(std::unique(tokens.begin(), tokens.end()), tokens.end());
      break;
    case kPhrases: {
      // Sized first, so that the views stay put.
      size_t size = 0;
      for (size_t i = 1; i < words.size(); ++i) size += words[i - 1].size() + 1 + words[i].size();
      buffer.clear();
      buffer.reserve(size);
      for (size_t i = 1; i < words.size(); ++i) {
        const size_t start = buffer.size();
        buffer.append(words[i - 1]).append(1, ' ').append(words[i]);
        tokens.emplace_back(buffer.data() + start, buffer.size() - start);
      }
      break;
    }
    case kArguments:
      if (frequent) ArgumentTokens(words, *frequent, buffer, tokens);
      if (tokens.empty()) return false;
      break;
    default:
      return false;
  }
  // Words and arguments mostly come in this order already.
  if (!std::is_sorted(tokens.begin(), tokens.end(), QuotedLess))
    std::sort(tokens.begin(), tokens.end(), QuotedLess);
  runs.clear();
  for (std::string_view t : tokens) {
    if (!runs.empty() && runs.back().token == t)
      ++runs.back().occurrences;
    else
      runs.push_back({t, 1});
  }
  return true;
}

}  // namespace tarne
