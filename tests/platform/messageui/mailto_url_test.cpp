#include "platform/messageui/mailto_url.h"

#include <gtest/gtest.h>

using platform::MailtoURL;

TEST(MailtoURL, ReservedCharactersInTextsNeverCutTheLinkShort) {
    EXPECT_EQ(MailtoURL::make({"help@example.org"}, "Q&A? #1 = 100%", "a+b"),
              "mailto:help@example.org?subject=Q%26A%3F%20%231%20%3D%20100%25&body=a%2Bb");
}

TEST(MailtoURL, BodyLineBreaksTravelAsCRLFAndUTF8BytesAreEncoded) {
    EXPECT_EQ(MailtoURL::make({"a@b.c"}, "", "one,\ntwo\r\nthree\rfour é"),
              "mailto:a@b.c?body=one%2C%0D%0Atwo%0D%0Athree%0D%0Afour%20%C3%A9");
}

TEST(MailtoURL, RecipientsAreJoinedByCommasAndEmptyFieldsLeftOut) {
    EXPECT_EQ(MailtoURL::make({"a@b.c", "odd,name?@x.y"}, "", ""), "mailto:a@b.c,odd%2Cname%3F@x.y");
    EXPECT_EQ(MailtoURL::make({}, "Hi", ""), "mailto:?subject=Hi");
}
