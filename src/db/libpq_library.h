// The PostgreSQL client library is not linked into the programs: loading
// it and the twenty libraries it brings costs every start about 5 ms of
// CPU, and most runs never reach a server.  libpq_library.cpp defines each
// PQ... function the program calls as a forwarder that loads libpq.so.5 on
// first use, so callers include <libpq-fe.h> and call libpq as usual.
#pragma once

#include <string>

namespace tarne {

// "" once libpq.so.5 is loaded (it is loaded by the first call); otherwise
// what keeps it from loading, in words for the user.  Asked before the
// first PQ... call of a unit of work so that a missing library is a
// message, not a stop: a forwarder reached without the library ends the
// program with this message on standard error.
const std::string& LibpqProblem();

}  // namespace tarne
