#include "db/sql_functions.h"

#include <sqlite3.h>

#include <cmath>
#include <optional>

namespace tarne {

namespace {

// A real as the statement engine holds it: NULL, or a double that is no NaN.
using Real = std::optional<double>;

Real Checked(double r) {
  if (std::isnan(r)) return std::nullopt;
  return r;
}
Real Add(Real a, Real b) { return a && b ? Checked(*a + *b) : std::nullopt; }
Real Subtract(Real a, Real b) { return a && b ? Checked(*a - *b) : std::nullopt; }
Real Multiply(Real a, Real b) { return a && b ? Checked(*a * *b) : std::nullopt; }
Real Divide(Real a, Real b) {
  if (!a || !b || *b == 0) return std::nullopt;
  return Checked(*a / *b);
}
// Logarithms of zero, negatives and NULL give NULL, which the column reads
// turn into 0.
Real Log(Real x) {
  if (!x || !(*x > 0.0)) return std::nullopt;
  return std::log(*x);
}

Real ArgumentReal(sqlite3_value* value) {
  if (sqlite3_value_type(value) == SQLITE_NULL) return std::nullopt;
  return sqlite3_value_double(value);
}

void ReturnReal(sqlite3_context* context, Real r) {
  if (r)
    sqlite3_result_double(context, *r);
  else
    sqlite3_result_null(context);
}

void NaturalLog(sqlite3_context* context, int, sqlite3_value** argv) {
  ReturnReal(context, Log(ArgumentReal(argv[0])));
}

// The gain once every probability is known to be positive.
Real GainOfPositive(Real maxGain, const Real* prior, const Real* p, int groups) {
  // Left to right, as (prior1*p1 + prior2*p2 + ...) reads.
  Real evidence = Multiply(prior[1], p[1]);
  for (int g = 2; g <= groups; ++g) evidence = Add(evidence, Multiply(prior[g], p[g]));
  const Real log2 = Log(2.0);
  Real terms;
  for (int g = 1; g <= groups; ++g) {
    const Real weighted = Multiply(prior[g], p[g]);
    const Real term = Divide(
        Multiply(Divide(weighted, evidence), Log(Divide(evidence, weighted))), log2);
    terms = g == 1 ? term : Add(terms, term);
  }
  return Subtract(maxGain, terms);
}

void GainFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
  const int groups = (argc - 2) / 2;
  if (argc < 4 || argc % 2 != 0) {
    sqlite3_result_error(context, "gain() takes L, a prior and probability per group, and old",
                         -1);
    return;
  }
  Real prior[6];
  Real p[6];
  for (int g = 1; g <= groups && g <= 5; ++g) {
    prior[g] = ArgumentReal(argv[2 * g - 1]);
    p[g] = ArgumentReal(argv[2 * g]);
    if (!p[g] || !(*p[g] > 0.0)) {
      sqlite3_result_value(context, argv[argc - 1]);
      return;
    }
  }
  ReturnReal(context, GainOfPositive(ArgumentReal(argv[0]), prior, p, groups));
}

}  // namespace

void RegisterSqlFunctions(sqlite3* db) {
  sqlite3_create_function_v2(db, "log", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                             &NaturalLog, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "gain", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                             &GainFunction, nullptr, nullptr, nullptr);
}

std::optional<double> InformationGain(double maxGain, const double* prior, const double* p,
                                      int groups, std::optional<double> old) {
  Real priors[6];
  Real probabilities[6];
  for (int g = 1; g <= groups && g <= 5; ++g) {
    if (!(p[g] > 0.0)) return old;
    priors[g] = prior[g];
    probabilities[g] = p[g];
  }
  return GainOfPositive(maxGain, priors, probabilities, groups);
}

}  // namespace tarne
