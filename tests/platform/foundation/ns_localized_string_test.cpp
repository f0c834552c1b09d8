#include "platform/foundation/ns_localized_string.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/foundation/ns_bundle.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

TEST(LocalizedString, TableEntryElseTheKey) {
    quorvel::testing::TempDataRoot bundle;
    NSBundle::setMainBundlePath(bundle.path());
    EXPECT_EQ(NSLocalizedString("Skip", ""), "Skip") << "no table";

    std::ofstream(bundle.path() / "Localizable.strings")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
        << "<key>Skip</key><string>Weiter</string><key>Count</key><integer>3</integer>\n</dict>\n</plist>\n";
    EXPECT_EQ(NSLocalizedString("Skip", "the skip button"), "Weiter");
    EXPECT_EQ(NSLocalizedString("Menu background", ""), "Menu background") << "no entry";
    EXPECT_EQ(NSLocalizedString("Count", ""), "Count") << "an entry that is not text";

    std::ofstream(bundle.path() / "Localizable.strings") << "\"Skip\" = \"Weiter\";";
    EXPECT_EQ(NSLocalizedString("Skip", ""), "Skip") << "a table that cannot be read";
    NSBundle::setMainBundlePath({});
}
