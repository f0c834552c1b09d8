#include "platform/coredata/sqlite_file_health.h"

#include <sqlite3.h>

namespace platform {

namespace {

bool isCorruption(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

}  // namespace

SQLiteFileHealth::Health SQLiteFileHealth::check(sqlite3* db, std::string& reason, Depth depth) {
    sqlite3_stmt* check = nullptr;
    const char* sql = depth == Depth::Whole ? "PRAGMA quick_check(1)" : "SELECT 'ok' WHERE (SELECT count(*) FROM sqlite_master) >= 0";
    int rc = sqlite3_prepare_v2(db, sql, -1, &check, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(check);
    Health health = Health::Sound;
    if (rc != SQLITE_ROW) {
        reason = sqlite3_errmsg(db);
        health = isCorruption(rc) ? Health::Damaged : Health::Unreadable;
    } else if (const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
               !text || std::string(text) != "ok") {
        reason = text ? text : "integrity check failed";
        health = Health::Damaged;
    }
    sqlite3_finalize(check);
    return health;
}

std::filesystem::path SQLiteFileHealth::setAside(const std::filesystem::path& file) {
    std::error_code ignored;
    for (int n = 1;; ++n) {
        auto target = file;
        target += ".damaged-" + std::to_string(n);
        if (std::filesystem::exists(target, ignored)) continue;
        std::filesystem::rename(file, target, ignored);
        for (const char* suffix : {"-wal", "-shm"}) {
            auto from = file, to = target;
            from += suffix;
            to += suffix;
            if (std::filesystem::exists(from, ignored)) std::filesystem::rename(from, to, ignored);
        }
        return target;
    }
}

}  // namespace platform
