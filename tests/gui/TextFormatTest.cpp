// FormatText: translators' texts with any placeholders, or none, fill safely.
#include "ui/TextFormat.h"

#include <gtest/gtest.h>

TEST(TextFormat, FillsInOrderAndLeavesEverythingElseAsWritten)
{
    struct Row
    {
        const char* format;
        const char* expected;
    };
    const Row rows[] = {
        {"Account details: %s \x97 %s", "Account details: Home mail \x97 Outlook"},
        {"E-mail account\n%i out of %i", "E-mail account\nHome mail out of Outlook"},
        {"%s", "Home mail"},
        {"no placeholder", "no placeholder"},
        // More placeholders than arguments: the extra ones become nothing, nothing is read past the
        // arguments.
        {"%s/%s/%s/%d", "Home mail/Outlook//"},
        // Conversions that would write or read memory stay as text.
        {"%n%x%p%", "%n%x%p%"},
        {"100%% %s", "100% Home mail"},
        {"%", "%"},
        {"", ""},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i)
        EXPECT_EQ(rows[i].expected, FormatText(rows[i].format, {"Home mail", "Outlook"})) << "row " << i;
    EXPECT_EQ("a//", FormatText("%s/%s/", {"a"}));
}
