// Forwarders for the PQ... functions the program calls, in place of linking
// libpq: each looks its function up in libpq.so.5 on its first call, loading
// the library then (see libpq_library.h).  A PQ... call added elsewhere gets
// its forwarder here, written as the others are; the link fails with an
// undefined reference until it has one.
//
// The forwarders carry libpq's own names, so they are kept out of the
// program's exported symbols: libpq, once loaded, must find its own
// functions, never these.  (The system headers libpq-fe.h includes come
// first, so that only libpq's own declarations are hidden.)
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#pragma GCC visibility push(hidden)
#include <libpq-fe.h>
#pragma GCC visibility pop

#include "db/libpq_library.h"

namespace tarne {

namespace {

constexpr const char* kLibrary = "libpq.so.5";

struct Library {
  void* handle = nullptr;
  std::string problem;
};

const Library& Loaded() {
  static const Library library = [] {
    Library loaded;
    loaded.handle = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!loaded.handle) {
      const char* why = dlerror();
      loaded.problem = std::string("The PostgreSQL client library (") + kLibrary +
                       ") cannot be loaded: " + (why ? why : "not found") +
                       ". Install the package libpq5 to use a project on a server";
    }
    return loaded;
  }();
  return library;
}

// The library's function name, of type F.  Ends the program when it is
// missing: callers ask LibpqProblem first, so only a libpq older than the
// one the program was built against gets here.
template <typename F>
F Function(const char* name) {
  const Library& library = Loaded();
  void* function = library.handle ? dlsym(library.handle, name) : nullptr;
  if (!function) {
    const std::string problem =
        library.handle ? std::string("The PostgreSQL client library (") + kLibrary +
                             ") has no " + name + ": it is older than this program needs"
                       : library.problem;
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::abort();
  }
  return reinterpret_cast<F>(function);
}

}  // namespace

const std::string& LibpqProblem() { return Loaded().problem; }

}  // namespace tarne

using tarne::Function;

extern "C" {

// Connections.

PGconn* PQconnectdbParams(const char* const* keywords, const char* const* values,
                          int expand_dbname) {
  static const auto f = Function<decltype(&PQconnectdbParams)>("PQconnectdbParams");
  return f(keywords, values, expand_dbname);
}

void PQfinish(PGconn* conn) {
  static const auto f = Function<decltype(&PQfinish)>("PQfinish");
  f(conn);
}

ConnStatusType PQstatus(const PGconn* conn) {
  static const auto f = Function<decltype(&PQstatus)>("PQstatus");
  return f(conn);
}

int PQconnectionNeedsPassword(const PGconn* conn) {
  static const auto f = Function<decltype(&PQconnectionNeedsPassword)>("PQconnectionNeedsPassword");
  return f(conn);
}

char* PQerrorMessage(const PGconn* conn) {
  static const auto f = Function<decltype(&PQerrorMessage)>("PQerrorMessage");
  return f(conn);
}

const char* PQparameterStatus(const PGconn* conn, const char* paramName) {
  static const auto f = Function<decltype(&PQparameterStatus)>("PQparameterStatus");
  return f(conn, paramName);
}

PGTransactionStatusType PQtransactionStatus(const PGconn* conn) {
  static const auto f = Function<decltype(&PQtransactionStatus)>("PQtransactionStatus");
  return f(conn);
}

PQnoticeProcessor PQsetNoticeProcessor(PGconn* conn, PQnoticeProcessor proc, void* arg) {
  static const auto f = Function<decltype(&PQsetNoticeProcessor)>("PQsetNoticeProcessor");
  return f(conn, proc, arg);
}

PQconninfoOption* PQconninfoParse(const char* conninfo, char** errmsg) {
  static const auto f = Function<decltype(&PQconninfoParse)>("PQconninfoParse");
  return f(conninfo, errmsg);
}

void PQconninfoFree(PQconninfoOption* connOptions) {
  static const auto f = Function<decltype(&PQconninfoFree)>("PQconninfoFree");
  f(connOptions);
}

void PQfreemem(void* ptr) {
  static const auto f = Function<decltype(&PQfreemem)>("PQfreemem");
  f(ptr);
}

// Statements.

PGresult* PQexec(PGconn* conn, const char* query) {
  static const auto f = Function<decltype(&PQexec)>("PQexec");
  return f(conn, query);
}

PGresult* PQexecParams(PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                       const char* const* paramValues, const int* paramLengths,
                       const int* paramFormats, int resultFormat) {
  static const auto f = Function<decltype(&PQexecParams)>("PQexecParams");
  return f(conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats,
           resultFormat);
}

PGresult* PQprepare(PGconn* conn, const char* stmtName, const char* query, int nParams,
                    const Oid* paramTypes) {
  static const auto f = Function<decltype(&PQprepare)>("PQprepare");
  return f(conn, stmtName, query, nParams, paramTypes);
}

PGresult* PQexecPrepared(PGconn* conn, const char* stmtName, int nParams,
                         const char* const* paramValues, const int* paramLengths,
                         const int* paramFormats, int resultFormat) {
  static const auto f = Function<decltype(&PQexecPrepared)>("PQexecPrepared");
  return f(conn, stmtName, nParams, paramValues, paramLengths, paramFormats, resultFormat);
}

int PQsendQueryPrepared(PGconn* conn, const char* stmtName, int nParams,
                        const char* const* paramValues, const int* paramLengths,
                        const int* paramFormats, int resultFormat) {
  static const auto f = Function<decltype(&PQsendQueryPrepared)>("PQsendQueryPrepared");
  return f(conn, stmtName, nParams, paramValues, paramLengths, paramFormats, resultFormat);
}

PGresult* PQgetResult(PGconn* conn) {
  static const auto f = Function<decltype(&PQgetResult)>("PQgetResult");
  return f(conn);
}

// Pipeline mode.

int PQenterPipelineMode(PGconn* conn) {
  static const auto f = Function<decltype(&PQenterPipelineMode)>("PQenterPipelineMode");
  return f(conn);
}

int PQexitPipelineMode(PGconn* conn) {
  static const auto f = Function<decltype(&PQexitPipelineMode)>("PQexitPipelineMode");
  return f(conn);
}

int PQpipelineSync(PGconn* conn) {
  static const auto f = Function<decltype(&PQpipelineSync)>("PQpipelineSync");
  return f(conn);
}

PGpipelineStatus PQpipelineStatus(const PGconn* conn) {
  static const auto f = Function<decltype(&PQpipelineStatus)>("PQpipelineStatus");
  return f(conn);
}

// Results.

void PQclear(PGresult* res) {
  static const auto f = Function<decltype(&PQclear)>("PQclear");
  f(res);
}

ExecStatusType PQresultStatus(const PGresult* res) {
  static const auto f = Function<decltype(&PQresultStatus)>("PQresultStatus");
  return f(res);
}

char* PQresultErrorMessage(const PGresult* res) {
  static const auto f = Function<decltype(&PQresultErrorMessage)>("PQresultErrorMessage");
  return f(res);
}

char* PQresultErrorField(const PGresult* res, int fieldcode) {
  static const auto f = Function<decltype(&PQresultErrorField)>("PQresultErrorField");
  return f(res, fieldcode);
}

char* PQcmdStatus(PGresult* res) {
  static const auto f = Function<decltype(&PQcmdStatus)>("PQcmdStatus");
  return f(res);
}

int PQntuples(const PGresult* res) {
  static const auto f = Function<decltype(&PQntuples)>("PQntuples");
  return f(res);
}

int PQnfields(const PGresult* res) {
  static const auto f = Function<decltype(&PQnfields)>("PQnfields");
  return f(res);
}

Oid PQftype(const PGresult* res, int field_num) {
  static const auto f = Function<decltype(&PQftype)>("PQftype");
  return f(res, field_num);
}

char* PQgetvalue(const PGresult* res, int tup_num, int field_num) {
  static const auto f = Function<decltype(&PQgetvalue)>("PQgetvalue");
  return f(res, tup_num, field_num);
}

int PQgetlength(const PGresult* res, int tup_num, int field_num) {
  static const auto f = Function<decltype(&PQgetlength)>("PQgetlength");
  return f(res, tup_num, field_num);
}

int PQgetisnull(const PGresult* res, int tup_num, int field_num) {
  static const auto f = Function<decltype(&PQgetisnull)>("PQgetisnull");
  return f(res, tup_num, field_num);
}

}  // extern "C"
