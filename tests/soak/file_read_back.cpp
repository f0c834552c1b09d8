#include "tests/soak/file_read_back.h"

#include <sqlite3.h>

#include <fstream>
#include <system_error>

#include "platform/foundation/property_list.h"

namespace quorvel::soak {

namespace fs = std::filesystem;

namespace {

bool startsLikeSQLite(const fs::path& file) {
    char header[16] = {};
    std::ifstream in(file, std::ios::binary);
    in.read(header, sizeof header);
    return in.gcount() == sizeof header &&
           std::string(header, sizeof header) == std::string("SQLite format 3\0", 16);
}

// SQLite's quick check over a read-only connection; empty when it passes.
std::string sqliteProblem(const fs::path& file) {
    sqlite3* db = nullptr;
    std::string problem;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        problem = std::string("does not open: ") + sqlite3_errmsg(db);
    } else {
        sqlite3_busy_timeout(db, 2000);
        sqlite3_stmt* check = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr) != SQLITE_OK) {
            problem = std::string("cannot be checked: ") + sqlite3_errmsg(db);
        } else {
            while (sqlite3_step(check) == SQLITE_ROW) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
                const std::string line = text ? text : "";
                if (line != "ok") problem += (problem.empty() ? "" : "; ") + line;
            }
        }
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
    return problem;
}

void checkFile(const fs::path& file, std::vector<std::string>& out) {
    const std::string name = file.filename().string();
    if (name.find(".damaged-") != std::string::npos) {
        out.push_back(file.string() + ": set aside as damaged");
        return;
    }
    if (file.extension() == ".plist") {
        std::string error;
        std::error_code gone;
        if (!platform::PropertyList::readFile(file, &error) && fs::exists(file, gone)) {
            out.push_back(file.string() + ": " + error);
        }
    } else if (startsLikeSQLite(file)) {
        if (const auto problem = sqliteProblem(file); !problem.empty())
            out.push_back(file.string() + ": " + problem);
    }
}

}  // namespace

std::vector<std::string> FileReadBack::problems(const std::vector<fs::path>& folders) {
    std::vector<std::string> out;
    for (const auto& folder : folders) {
        std::error_code error;
        for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            std::error_code kindError;
            if (it->is_regular_file(kindError)) checkFile(it->path(), out);
        }
    }
    return out;
}

}  // namespace quorvel::soak
