#include "shell/file_associations.h"
#include "shell/mime_apps_list.h"

#include "support/isolated_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvex {
namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAll(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
}

const AssociatedFileType& typeOf(const char* extension) {
    for (const AssociatedFileType& type : associatedFileTypes()) {
        if (std::string(type.extension) == extension) {
            return type;
        }
    }
    throw std::runtime_error(extension);
}

class FileAssociationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = cvx::testing::isolatedHome() + "/desktop";
        fs::remove_all(root_);
        folders_ = {root_ + "/config", {root_ + "/etc"}, root_ + "/data", {root_ + "/usr"}};
    }
    std::string listPath() const { return folders_.configHome + "/mimeapps.list"; }

    std::string root_;
    DesktopFolders folders_;
};

TEST(MimeAppsListTest, EditsOneKeyAndKeepsEveryOtherLine) {
    const std::string text = "# mine\n[Added Associations]\naudio/midi=other.desktop;\n\n"
                             "[Default Applications]\ntext/plain=editor.desktop;\n\n"
                             "[Removed Associations]\nimage/png=viewer.desktop;\n";
    MimeAppsList list(text);
    EXPECT_EQ(list.damagedLine(), 0);
    EXPECT_EQ(list.text(), text);
    EXPECT_EQ(list.defaultFor("text/plain"), "editor.desktop;");
    EXPECT_FALSE(list.defaultFor("audio/midi")); // only "[Default Applications]" counts
    list.setDefault("audio/midi", "tunelet.desktop;");
    list.setDefault("text/plain", "other.desktop;");
    EXPECT_EQ(list.text(), "# mine\n[Added Associations]\naudio/midi=other.desktop;\n\n"
                           "[Default Applications]\ntext/plain=other.desktop;\n"
                           "audio/midi=tunelet.desktop;\n\n"
                           "[Removed Associations]\nimage/png=viewer.desktop;\n");
    list.removeDefault("audio/midi");
    list.removeDefault("text/plain");
    EXPECT_EQ(list.text(), "# mine\n[Added Associations]\naudio/midi=other.desktop;\n\n"
                           "[Default Applications]\n\n"
                           "[Removed Associations]\nimage/png=viewer.desktop;\n");

    MimeAppsList empty("");
    empty.setDefault("audio/midi", "tunelet.desktop;");
    EXPECT_EQ(empty.text(), "[Default Applications]\naudio/midi=tunelet.desktop;\n");
    MimeAppsList damaged("[Default Applications]\nno equals sign\n=x\ntext/plain=e.desktop\n");
    EXPECT_EQ(damaged.damagedLine(), 2);
    EXPECT_EQ(damaged.text(), "[Default Applications]\ntext/plain=e.desktop\n");
    EXPECT_EQ(firstDesktopId(" a.desktop ; b.desktop;"), "a.desktop");
}

// Each row: the user's default before, what associating writes and keeps as backup, and
// what disassociating leaves.
TEST_F(FileAssociationsTest, AssociatingKeepsThePreviousOwnerAndDisassociatingRestoresIt) {
    struct Row {
        const char* extension;
        const char* before; // the user's default before, nullptr for none
        const char* associated;
        const char* backup; // "" when none is kept
    };
    writeAll(folders_.dataDirs[0] + "/applications/mimeinfo.cache",
             "[MIME Cache]\ntext/plain=gedit.desktop;vim.desktop;\n");
    const Row rows[] = {
        {".syx", "other-sysex.desktop;", "corvex.desktop;", "other-sysex.desktop;"},
        {".vxm", nullptr, "corvex.desktop;", ""},
        {".mid", "player.desktop;tunelet.desktop;", "tunelet.desktop;",
         "player.desktop;tunelet.desktop;"},
        {".mxs", "corvex.desktop;", "corvex.desktop;", ""},
        {".pmi", "", "corvex.desktop;", ""}, // an empty default is never kept as a backup
        {".txm", "kate.desktop;", "gedit.desktop;", "kate.desktop;"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.extension);
        const AssociatedFileType& type = typeOf(row.extension);
        fs::remove_all(root_ + "/config");
        std::string list = "[Default Applications]\nimage/png=viewer.desktop;\n";
        if (row.before != nullptr) {
            list += std::string(type.mimeType) + "=" + row.before + "\n";
        }
        writeAll(listPath(), list);
        FileAssociations associations(folders_);
        EXPECT_EQ(associations.isAssociated(type),
                  row.before != nullptr && std::string(row.before) == row.associated);

        ASSERT_TRUE(associations.associate(type).done);
        EXPECT_TRUE(associations.isAssociated(type));
        MimeAppsList after(readAll(listPath()));
        EXPECT_EQ(after.defaultFor(type.mimeType), row.associated);
        EXPECT_EQ(after.defaultFor("image/png"), "viewer.desktop;");
        EXPECT_EQ(readAll(associations.backupPath()).find(type.mimeType) != std::string::npos,
                  row.backup[0] != '\0');

        ASSERT_TRUE(associations.disassociate(type).done);
        MimeAppsList restored(readAll(listPath()));
        if (row.backup[0] != '\0') {
            EXPECT_EQ(restored.defaultFor(type.mimeType), row.backup);
        } else {
            EXPECT_FALSE(restored.defaultFor(type.mimeType)); // never "<Empty>" or ""
        }
        EXPECT_EQ(restored.defaultFor("image/png"), "viewer.desktop;");
        EXPECT_EQ(readAll(associations.backupPath()).find(type.mimeType), std::string::npos);
    }
}

TEST_F(FileAssociationsTest, ADamagedListIsKeptAsideAndTheTextEditorMustBeKnown) {
    const std::string damaged = "[Default Applications]\n\x01garbage\ntext/plain=e.desktop;\n";
    writeAll(listPath(), damaged);
    FileAssociations associations(folders_);
    const AssociationOutcome outcome = associations.associate(typeOf(".syx"));
    EXPECT_TRUE(outcome.done);
    EXPECT_NE(outcome.message.find("line 2"), std::string::npos);
    EXPECT_EQ(readAll(listPath() + ".damaged"), damaged);
    EXPECT_EQ(MimeAppsList(readAll(listPath())).defaultFor("text/plain"), "e.desktop;");
    EXPECT_TRUE(associations.isAssociated(typeOf(".syx")));
    EXPECT_EQ(associations.openerOf(typeOf(".txm")), "e.desktop"); // the user's own default

    fs::remove_all(root_);
    FileAssociations noEditor(folders_); // no list and no desktop entries anywhere
    const AssociationOutcome refused = noEditor.associate(typeOf(".txm"));
    EXPECT_FALSE(refused.done);
    EXPECT_NE(refused.message.find("text editor"), std::string::npos);
    EXPECT_FALSE(fs::exists(listPath()));
    EXPECT_TRUE(noEditor.associate(typeOf(".mid")).done); // creates ~/.config and the list
    EXPECT_TRUE(noEditor.isAssociated(typeOf(".mid")));
}

} // namespace
} // namespace corvex
