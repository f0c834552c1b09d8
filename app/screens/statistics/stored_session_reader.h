#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

struct sqlite3;

namespace quorvel {

// What the statistics count of one stored session: when it ended (none when the store holds no number
// there) and its minutes (0 when it holds no number).
struct StoredSession {
    std::int64_t row = 0;
    std::optional<double> timestamp;  // seconds since the reference date
    std::int64_t minutes = 0;
};

// The session store's file read on a connection of its own, read-only, and only the two columns the
// statistics need: a long read neither holds nor waits for the connections the app and the sync save
// through. Values of another kind than the column's read as missing, as the store reads them. One
// thread at a time.
class StoredSessionReader {
public:
    explicit StoredSessionReader(const std::filesystem::path& storeFile);
    ~StoredSessionReader();
    StoredSessionReader(const StoredSessionReader&) = delete;
    StoredSessionReader& operator=(const StoredSessionReader&) = delete;

    // The sessions of rows `fromRow` to `toRow`, in row order, all read at one moment of the store.
    // False when the file cannot be read.
    bool readRange(std::int64_t fromRow, std::int64_t toRow, const std::function<void(const StoredSession&)>& each);
    // The sessions of rows up to `toRow` that ended within one of `spans` (from its first second up to, not
    // including, its second; seconds since the reference date), all read at one moment of the store.
    // False when the file cannot be read.
    bool readEndedWithin(const std::vector<std::pair<double, double>>& spans, std::int64_t toRow,
                         const std::function<void(const StoredSession&)>& each);
    // The sessions stored in these rows as the store holds them now; a row not held is left out.
    std::optional<std::vector<StoredSession>> readRows(const std::vector<std::int64_t>& rows);

private:
    sqlite3* db_ = nullptr;
};

}  // namespace quorvel
