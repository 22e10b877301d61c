#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "scoring/results.h"
#include "shell/numbers.h"

namespace tarne {

namespace {

double Ratio(double part, double whole) { return whole > 0 ? part / whole : 0; }

// A figure in six places with three decimals, "n/a" when undefined.
std::string Decimal(double value, int width) {
  char buf[32];
  if (std::isnan(value))
    std::snprintf(buf, sizeof buf, "%*s", width, "n/a");
  else
    std::snprintf(buf, sizeof buf, "%*.3f", width, value);
  return buf;
}

}  // namespace

double Kappa(const ConfusionTable& table, int groups, bool weighted) {
  // kappa = 1 - sum(w O) / sum(w E), with E the table the marginals give by
  // chance; w is 1 off the diagonal (Cohen) or ((i-j)/(G-1))^2 (quadratic).
  double rows[6] = {0}, columns[6] = {0}, n = 0;
  for (int s = 1; s <= groups; ++s)
    for (int g = 1; g <= groups; ++g) {
      rows[s] += table.count[s][g];
      columns[g] += table.count[s][g];
      n += table.count[s][g];
    }
  if (n == 0) return std::numeric_limits<double>::quiet_NaN();
  double observed = 0, expected = 0;
  for (int s = 1; s <= groups; ++s)
    for (int g = 1; g <= groups; ++g) {
      double w = s == g ? 0 : 1;
      if (weighted) w = static_cast<double>((s - g) * (s - g)) / ((groups - 1) * (groups - 1));
      observed += w * table.count[s][g];
      expected += w * rows[s] * columns[g] / n;
    }
  if (expected == 0) return std::numeric_limits<double>::quiet_NaN();
  return 1 - observed / expected;
}

Figures ComputeFigures(const ConfusionTable& table, int groups) {
  Figures f;
  const Accuracy a = ComputeAccuracy(table, groups);
  f.accuracy = a.exact;
  f.nearAccuracy = a.near;
  for (int s = 1; s <= groups; ++s)
    for (int g = 1; g <= groups; ++g) {
      f.scored += table.count[s][g];
      f.group[s].essays += table.count[s][g];
      f.group[g].predicted += table.count[s][g];
    }
  for (int g = 1; g <= groups; ++g) {
    GroupFigures& gf = f.group[g];
    gf.precision = Ratio(table.count[g][g], gf.predicted);
    gf.recall = Ratio(table.count[g][g], gf.essays);
    gf.f1 = Ratio(2 * gf.precision * gf.recall, gf.precision + gf.recall);
  }
  f.qwk = Kappa(table, groups, true);
  f.kappa = Kappa(table, groups, false);
  return f;
}

int RunResult::NotScored() const {
  int n = unreadable + static_cast<int>(skipped.size());
  for (int s = 0; s <= 5; ++s) n += table.count[s][0];
  return n;
}

std::string FiguresText(const RunResult& result) {
  const Figures f = ComputeFigures(result.table, result.groups);
  const std::string indent(24, ' ');
  std::string text = indent + "QWK =          " + Decimal(f.qwk, 7) + "\r\n";
  text += indent + "Cohen's kappa =" + Decimal(f.kappa, 7) + "\r\n\r\n";
  text += indent + "Group  Essays  Precision  Recall      F1\r\n";
  for (int g = 1; g <= result.groups; ++g) {
    char line[96];
    std::snprintf(line, sizeof line, "%5d%8d", g, f.group[g].essays);
    text += indent + line + Decimal(f.group[g].precision, 11) + Decimal(f.group[g].recall, 8) +
            Decimal(f.group[g].f1, 8) + "\r\n";
  }
  text += "\r\n" + indent + "Essays not read or scored: " + TrimmedNumber(result.NotScored()) +
          "\r\n\r\n";
  return text;
}

}  // namespace tarne
