// A writer that dies inside its transaction: opens the settings database named by its
// first argument, keeps a tiny page cache so that the pages it changes are written
// into the file before any commit, runs the SQL text of its second argument (which
// begins a transaction and writes), and then ends itself with SIGKILL, as a process
// killed mid-write or a power loss would leave the file. It exits with 2 when it could
// not do its part, so that a test never mistakes a failed set-up for a crash.
#include <sqlite3.h>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: killed_writer <database> <sql>\n");
        return 2;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "open: %s\n", db ? sqlite3_errmsg(db) : "out of memory");
        return 2;
    }
    char* strError = nullptr;
    if (sqlite3_exec(db, "PRAGMA cache_size=10", nullptr, nullptr, &strError) != SQLITE_OK ||
        sqlite3_exec(db, argv[2], nullptr, nullptr, &strError) != SQLITE_OK) {
        std::fprintf(stderr, "sql: %s\n", strError ? strError : "");
        return 2;
    }
    if (sqlite3_get_autocommit(db)) {
        std::fprintf(stderr, "the SQL text left no transaction open\n");
        return 2;
    }
    std::fflush(nullptr);
    std::raise(SIGKILL);
    return 2;
}
