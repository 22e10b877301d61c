// The functions Tarne's statements call beyond SQLite's own, registered on
// every connection the gateway opens.
#pragma once

#include <optional>

struct sqlite3;

namespace tarne {

// log(X): the natural logarithm (SQLite's own log(), where it is compiled in,
// is base 10).  gain(L, prior1, p1, ..., priorG, pG, old): the information
// gain of a token, L - sum over g of (priorg*pg/E)*log(E/(priorg*pg))/log(2)
// with E the sum of priorg*pg, worked out operation by operation as the
// statement's own arithmetic would (NULL for a division by zero, a NaN or
// the log of a non-positive number); old, unchanged, when a probability is
// NULL or not positive.
void RegisterSqlFunctions(sqlite3* db);

// What gain() gives for values that are not NULL: prior and p from [1] to
// [groups]; no value where gain() gives NULL.
std::optional<double> InformationGain(double maxGain, const double* prior, const double* p,
                                      int groups, std::optional<double> old);

}  // namespace tarne
