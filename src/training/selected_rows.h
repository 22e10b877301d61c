// The rows of one token kind that a recomputation selected, with the values
// it gave them: what a scoring run reads, handed over so that it need not
// read them back from the table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarne {

struct SelectedRows {
  struct Row {
    std::int64_t rowid = 0;
    double p[6] = {0, 0, 0, 0, 0, 0};  // p1..p5 at [1]..[5], NULL as 0
    std::uint32_t textStart = 0;       // the row's Vocab in texts
    std::uint32_t textLength = 0;
  };
  // In table order; without low-information tokens, only the rows whose
  // gain is above the threshold.
  std::vector<Row> rows;
  std::string texts;

  std::string_view Text(const Row& row) const {
    return std::string_view(texts).substr(row.textStart, row.textLength);
  }
};

}  // namespace tarne
