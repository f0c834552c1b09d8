#include "platform/messageui/mailto_url.h"

#include <gtest/gtest.h>

using platform::MailtoURL;

TEST(MailtoURL, ReservedCharactersNeverCutTheLinkShortAndLineBreaksTravelAsCRLF) {
    EXPECT_EQ(MailtoURL::make({"help@example.org"}, "Q&A? #1 = 100%", "a+b é,\none\r\ntwo\rthree"),
              "mailto:help@example.org?subject=Q%26A%3F%20%231%20%3D%20100%25"
              "&body=a%2Bb%20%C3%A9%2C%0D%0Aone%0D%0Atwo%0D%0Athree");
}

TEST(MailtoURL, RecipientsAreJoinedByCommasAndEmptyFieldsLeftOut) {
    EXPECT_EQ(MailtoURL::make({"a@b.c", "odd,name?@x.y"}, "", ""), "mailto:a@b.c,odd%2Cname%3F@x.y");
    EXPECT_EQ(MailtoURL::make({}, "Hi", ""), "mailto:?subject=Hi");
}
