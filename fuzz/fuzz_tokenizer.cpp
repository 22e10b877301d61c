// Any bytes as an essay file: decoding and tokenizing must not crash, a text
// said to keep its words when normalised again must give the same tokens
// then (training counts the stemmed table from a second normalisation), and
// no token may carry a quote or a NUL into the statements built from it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/essay_encoding.h"
#include "text/tokenizer.h"
#include "text/word_lists.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarne;
  static const bool loaded = (LoadWordLists(), true);
  (void)loaded;
  std::string text(reinterpret_cast<const char*>(data), size);
  if (DecodeEssayBytes(text) == EssayEncoding::kNotText) return 0;
  NormalizeEssayText(text);
  // Code page bytes may lower into valid UTF-8, which a second pass lowers
  // as Unicode: such a text may change its words, and training cuts it twice.
  const bool keeps = NormalisingAgainKeepsWords(text);
  std::string again = text;
  NormalizeEssayText(again);
  const auto once = SplitSentences(text);
  const auto twice = SplitSentences(again);
  Check(once.size() == twice.size());
  for (std::size_t i = 0; i < once.size(); ++i) {
    for (bool stemmed : {false, true}) {
      for (int kind : {kWords, kPhrases, kArguments}) {
        const std::string list = BuildSentenceTokenList(once[i], kind, stemmed);
        Check(!keeps || list == BuildSentenceTokenList(twice[i], kind, stemmed));
        Check(list.find('\0') == std::string::npos);
        Check(list.empty() || (list.front() == '\'' && list.back() == '\''));
        Check(list.find("''") == std::string::npos);
      }
    }
  }
  return 0;
}
