#pragma once

#include <filesystem>
#include <string>

// Damage done to a real file the system wrote, the way disks, crashes and other programs do it.
namespace quorvel::testing {

// Each kind a whole file can be damaged; every store's tests take all of them.
enum class WholeFileDamage {
    Truncated,    // cut off halfway
    Garbage,      // its middle half overwritten with random bytes
    ForeignFile,  // a file of another kind put in its place
};
inline constexpr WholeFileDamage kWholeFileDamages[] = {WholeFileDamage::Truncated, WholeFileDamage::Garbage,
                                                        WholeFileDamage::ForeignFile};
std::string nameOf(WholeFileDamage damage);

// Damages `file`; `foreign` is what ForeignFile puts in its place.
void damage(const std::filesystem::path& file, WholeFileDamage damage, const std::string& foreign);

std::string contentsOf(const std::filesystem::path& file);
// Closes the write-ahead log of an SQLite file into the file, as the last connection closing does, so
// damage to the file reaches every row.
void settle(const std::filesystem::path& database);
// Runs `sql` on an SQLite file, as another program would; false when it fails.
bool executeSql(const std::filesystem::path& database, const std::string& sql);

// Property-list texts for ForeignFile and for editing a stored file.
inline const std::string kForeignPropertyList =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<array>\n\t<string>another "
    "program's list</string>\n</array>\n</plist>\n";
// The first 100 bytes of a database file, as another program's database begins.
std::string foreignDatabase();

}  // namespace quorvel::testing
