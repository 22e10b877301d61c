#include "db/new_database_file.h"
#include "db/engine_setup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace tarne {

namespace {

bool SyncPath(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace

bool WriteNewDatabaseFile(const std::string& path, const std::string& sql) {
  SetUpEngine();
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                      nullptr) != SQLITE_OK) {
    sqlite3_close_v2(db);
    return false;
  }
  // No journal and no syncs while the file is built: until it is renamed
  // into place a failure only means removing it.  The page size goes first
  // (it is fixed by the first write); the switch to the write-ahead log goes
  // last, marking the file as one that opens in that mode.
  const std::string setup =
      "PRAGMA page_size=16384; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; " + sql +
      "; PRAGMA journal_mode=WAL;";
  const bool written = sqlite3_exec(db, setup.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  const bool closed = sqlite3_close(db) == SQLITE_OK;
  return written && closed && SyncPath(path, O_RDWR);
}

bool RenameDurably(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return false;
  std::string folder = std::filesystem::path(to).parent_path().string();
  if (folder.empty()) folder = ".";
  // Some file systems cannot sync a folder; the rename stands all the same,
  // as the engine's own folder syncs do.
  SyncPath(folder, O_RDONLY | O_DIRECTORY);
  return true;
}

}  // namespace tarne
