#include "app/screens/statistics/stored_session_reader.h"

#include <sqlite3.h>

namespace quorvel {

namespace {

// Closes a statement when it goes out of scope.
struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

bool isNumber(sqlite3_stmt* statement, int column) {
    const int type = sqlite3_column_type(statement, column);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

StoredSession sessionAt(sqlite3_stmt* statement) {
    StoredSession session{sqlite3_column_int64(statement, 0), std::nullopt, 0};
    if (isNumber(statement, 1)) session.timestamp = sqlite3_column_double(statement, 1);
    if (isNumber(statement, 2)) session.minutes = sqlite3_column_int64(statement, 2);
    return session;
}

}  // namespace

StoredSessionReader::StoredSessionReader(const std::filesystem::path& storeFile) {
    if (sqlite3_open_v2(storeFile.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        return;
    }
    // A save of the app's own holds the write lock only briefly; a reader never needs it.
    sqlite3_busy_timeout(db_, 5000);
}

StoredSessionReader::~StoredSessionReader() {
    sqlite3_close(db_);
}

bool StoredSessionReader::readRange(std::int64_t fromRow, std::int64_t toRow,
                                    const std::function<void(const StoredSession&)>& each) {
    if (!db_) return false;
    Statement statement;
    if (sqlite3_prepare_v2(db_, "SELECT _pk, \"timestamp\", \"duration\" FROM \"Session\" WHERE _pk BETWEEN ? AND ? ORDER BY _pk",
                           -1, &statement.handle, nullptr) != SQLITE_OK)
        return false;
    sqlite3_bind_int64(statement.handle, 1, fromRow);
    sqlite3_bind_int64(statement.handle, 2, toRow);
    int rc;
    while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) each(sessionAt(statement.handle));
    return rc == SQLITE_DONE;
}

bool StoredSessionReader::readEndedWithin(const std::vector<std::pair<double, double>>& spans, std::int64_t toRow,
                                          const std::function<void(const StoredSession&)>& each) {
    if (!db_) return false;
    Statement statement;
    // The store keeps an index on the time: each span costs only its own sessions.
    if (sqlite3_prepare_v2(db_,
                           "SELECT _pk, \"timestamp\", \"duration\" FROM \"Session\" "
                           "WHERE \"timestamp\" >= ? AND \"timestamp\" < ? AND _pk <= ? ORDER BY \"timestamp\"",
                           -1, &statement.handle, nullptr) != SQLITE_OK)
        return false;
    if (sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
    bool read = true;
    for (const auto& [from, until] : spans) {
        sqlite3_bind_double(statement.handle, 1, from);
        sqlite3_bind_double(statement.handle, 2, until);
        sqlite3_bind_int64(statement.handle, 3, toRow);
        int rc;
        while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) {
            if (const StoredSession session = sessionAt(statement.handle); session.timestamp) each(session);
        }
        sqlite3_reset(statement.handle);
        if (rc != SQLITE_DONE) {
            read = false;
            break;
        }
    }
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    return read;
}

std::optional<std::vector<StoredSession>> StoredSessionReader::readRows(const std::vector<std::int64_t>& rows) {
    if (!db_) return std::nullopt;
    Statement statement;
    if (sqlite3_prepare_v2(db_, "SELECT _pk, \"timestamp\", \"duration\" FROM \"Session\" WHERE _pk = ?", -1,
                           &statement.handle, nullptr) != SQLITE_OK)
        return std::nullopt;
    std::vector<StoredSession> sessions;
    // One read transaction: every row as of the same moment.
    if (sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) return std::nullopt;
    bool read = true;
    for (const std::int64_t row : rows) {
        sqlite3_bind_int64(statement.handle, 1, row);
        const int rc = sqlite3_step(statement.handle);
        if (rc == SQLITE_ROW) {
            sessions.push_back(sessionAt(statement.handle));
        } else if (rc != SQLITE_DONE) {
            read = false;
        }
        sqlite3_reset(statement.handle);
        if (!read) break;
    }
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (!read) return std::nullopt;
    return sessions;
}

}  // namespace quorvel
