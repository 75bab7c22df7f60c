// Reading and editing profile text with the platform's profile-string rules.
#include "ini/profile_document.h"
#include "ini/profile_strings.h"

#include <gtest/gtest.h>

namespace cvx::profile {
namespace {

TEST(ProfileDocumentTest, LookupIgnoresCaseAndBlanksAndTakesTheFirstMatch) {
    ProfileDocument document("top=1\n"
                             "  [ Panic ]  \n"
                             "; Volume=1\n"
                             "  volume  =  90  \n"
                             "VOLUME=80\n"
                             "no equals sign\n"
                             "Quoted=\"  spaced  \"\n"
                             "Half=\"open\n"
                             "Empty=\n"
                             "[panic]\n"
                             "Pan=64\n"
                             "[Other\n"
                             "Key=x\n");
    EXPECT_EQ(document.value("PANIC", "Volume"), "90");
    EXPECT_EQ(document.value("Panic", "Quoted"), "  spaced  ");
    EXPECT_EQ(document.value("Panic", "Half"), "\"open");
    EXPECT_EQ(document.value("Panic", "Empty"), "");
    EXPECT_EQ(document.value("Panic", "Pan"), std::nullopt); // only the first section counts
    EXPECT_EQ(document.value("Panic", "no equals sign"), std::nullopt);
    EXPECT_EQ(document.value("Other", "key"), "x"); // an unclosed header still names it
    EXPECT_EQ(document.value("", "top"), std::nullopt);
    EXPECT_EQ(document.value("Missing", "Volume"), std::nullopt);
}

TEST(ProfileDocumentTest, EditsChangeOnlyTheirLine) {
    const std::string original = "; settings\r\n"
                                 "[Options]\r\n"
                                 "AutoOpen = 1\r\n"
                                 "Unknown=keep\r\n"
                                 "\r\n"
                                 "; the panic values\r\n"
                                 "[Panic]\r\n"
                                 "MinDelay=4";
    ProfileDocument document(original);
    EXPECT_EQ(document.text(), original);

    ASSERT_TRUE(document.set("options", "autoopen", "0"));
    ASSERT_TRUE(document.set("Options", "Added", "yes"));
    ASSERT_TRUE(document.remove("Panic", "mindelay"));
    EXPECT_FALSE(document.remove("Panic", "MinDelay"));
    ASSERT_TRUE(document.set("Panic", "Volume", "100"));
    ASSERT_TRUE(document.set("New", "Key", "v"));
    EXPECT_EQ(document.text(), "; settings\r\n"
                               "[Options]\r\n"
                               "AutoOpen = 0\r\n"
                               "Unknown=keep\r\n"
                               "Added=yes\r\n"
                               "\r\n"
                               "; the panic values\r\n"
                               "[Panic]\r\n"
                               "Volume=100\r\n"
                               "\r\n"
                               "[New]\r\n"
                               "Key=v\r\n");
}

TEST(ProfileDocumentTest, RefusesWhatWouldNotReadBack) {
    ProfileDocument document("[A]\nk=1\n");
    EXPECT_FALSE(document.set("", "k", "v"));
    EXPECT_FALSE(document.set("A]", "k", "v"));
    EXPECT_FALSE(document.set("A", "", "v"));
    EXPECT_FALSE(document.set("A", "k=x", "v"));
    EXPECT_FALSE(document.set("A", "[k", "v"));
    EXPECT_FALSE(document.set("A", ";k", "v"));
    EXPECT_FALSE(document.set("A", "k", "two\nlines"));
    EXPECT_FALSE(document.set("A\nB", "k", "v"));
    EXPECT_EQ(document.text(), "[A]\nk=1\n");
}

TEST(ProfileIntTest, ReadsLeadingDigitsWithAnOptionalSign) {
    EXPECT_EQ(parseProfileInt("42"), 42);
    EXPECT_EQ(parseProfileInt("  -1"), -1);
    EXPECT_EQ(parseProfileInt("+7"), 7);
    EXPECT_EQ(parseProfileInt("12abc"), 12);
    EXPECT_EQ(parseProfileInt("abc"), 0);
    EXPECT_EQ(parseProfileInt("-"), 0);
    EXPECT_EQ(parseProfileInt("0x10"), 0);
    EXPECT_EQ(parseProfileInt("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(parseProfileInt("-99999999999999999999999"), INT32_MIN);
}

} // namespace
} // namespace cvx::profile
