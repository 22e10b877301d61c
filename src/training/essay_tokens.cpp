#include "training/essay_tokens.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "db/gateway.h"
#include "db/prepared_statement.h"
#include "text/tokenizer.h"

namespace tarne {

namespace {

// The tokens of a quoted list ('a','b c'), without their quotes.
void Unquote(const std::string& list, std::vector<std::string_view>& tokens) {
  tokens.clear();
  size_t start = 0;
  while (start < list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    std::string_view token(list.data() + start, comma - start);
    if (token.size() >= 2 && token.front() == '\'' && token.back() == '\'')
      token = token.substr(1, token.size() - 2);
    tokens.push_back(token);
    start = comma + 1;
  }
}

}  // namespace

bool FrequentWords::Load(Database& db, const char* table) {
  words_.clear();
  PreparedStatement query(db, std::string("SELECT Vocab FROM ") + table +
                                  " WHERE isword=1 AND sum > 20");
  if (!query.Ok()) return false;
  while (query.Step()) words_.emplace(query.Text(0));
  return true;
}

void ArgumentTokens(const std::string& list, const FrequentWords& frequent, std::string& buffer,
                    std::vector<std::string_view>& tokens) {
  std::vector<std::string_view> words;
  Unquote(list, words);
  words.erase(std::remove_if(words.begin(), words.end(),
                             [&](std::string_view w) { return !frequent.Contains(w); }),
              words.end());
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

bool SentenceRuns(std::string_view sentence, int kind, bool stemmed, int minWordLength,
                  const FrequentWords* frequent, std::string& list, std::string& arguments,
                  std::vector<std::string_view>& tokens, std::vector<TokenRun>& runs) {
  list = BuildSentenceTokenList(sentence, kind, stemmed, minWordLength);
  tokens.clear();
  if (kind == 3 && list.size() > 4) {
    if (frequent) ArgumentTokens(list, *frequent, arguments, tokens);
    if (tokens.empty()) return false;
  } else {
    if (list.size() < 3) return false;
    Unquote(list, tokens);
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
