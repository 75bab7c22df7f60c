#include "about_dialog.h"
#include "folders_dialog.h"
#include "frame_prompts.h"
#include "general_options_dialog.h"
#include "support/qt_test_environment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace corvex {
namespace {

TEST(GeneralOptionsDialogTest, ShowsAndReturnsEveryOption) {
    GeneralOptions options;
    options.showTooltips = false;
    options.verboseDeviceInfo = true;
    options.showPatchNames = true;
    options.abbreviatePortNames = false;
    options.channelColours = true;
    options.middleCOctave = 6;
    options.panicNoteOffs = true;
    options.runningStatus = false;
    options.background = BackgroundMode::File;
    options.backgroundPath = "/pictures/desk.png";
    GeneralOptionsDialog dialog(options);
    EXPECT_EQ(dialog.options(), options);

    auto* combo = qobject_cast<QComboBox*>(dialog.control(536));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 7);
    EXPECT_EQ(combo->itemText(0), "1");
    EXPECT_EQ(combo->currentText(), "6");
    combo->setCurrentIndex(0);
    qobject_cast<QCheckBox*>(dialog.control(537))->setChecked(true);
    qobject_cast<QCheckBox*>(dialog.control(533))->setChecked(true);
    qobject_cast<QComboBox*>(dialog.control(542))->setCurrentIndex(1);

    const GeneralOptions edited = dialog.options();
    EXPECT_EQ(edited.middleCOctave, 1);
    EXPECT_TRUE(edited.showTooltips);
    EXPECT_TRUE(edited.runningStatus);
    EXPECT_EQ(edited.background, BackgroundMode::Picture1);
    EXPECT_FALSE(dialog.control(543)->isEnabled()); // the file only matters for a file picture
    EXPECT_EQ(qobject_cast<QCheckBox*>(dialog.control(539))->text(),
              "&Send individual Note Offs during Panic Reset");
}

TEST(GeneralOptionsDialogTest, OutOfRangeOctaveIsShownAtTheNearestBound) {
    GeneralOptions options;
    options.middleCOctave = 12;
    EXPECT_EQ(GeneralOptionsDialog(options).options().middleCOctave, 7);
    options.middleCOctave = -3;
    EXPECT_EQ(GeneralOptionsDialog(options).options().middleCOctave, 1);
}

TEST(FoldersDialogTest, OkNeedsEveryChangedFolderToExist) {
    const std::filesystem::path home = std::getenv("HOME");
    const std::string maps = (home / "Maps").string();
    std::filesystem::create_directories(maps);
    const FolderSettings stored{"/old/maps", "/old/sysex", "/old/snaps"};
    FoldersDialog dialog(stored);
    dialog.show();
    EXPECT_EQ(dialog.folders(), stored);

    dialog.field(594)->setText(QString::fromStdString(maps));
    dialog.field(600)->setText("/does/not/exist");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible()); // stays open
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    QTRY_VERIFY(dialog.field(600)->hasFocus() || QApplication::focusWidget() == dialog.field(600));

    dialog.field(600)->setText("/old/snaps"); // back to unchanged: not checked
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.folders(), (FolderSettings{maps, "/old/sysex", "/old/snaps"}));
}

TEST(AboutDialogTest, ShowsCaptionVersionAndBuild) {
    AboutDialog dialog;
    EXPECT_EQ(dialog.findChild<QLabel*>("control1291")->text(), "Corvex");
    EXPECT_EQ(dialog.findChild<QLabel*>("control1292")->text(),
              QStringLiteral("Version: %1").arg(CVX_VERSION));
    EXPECT_TRUE(dialog.findChild<QLabel*>("control1293")->text().startsWith("64 Bit build: "));
}

TEST(AboutDialogTest, ClickingThePictureAnimatesAndTheButtonRunsUntilARightClick) {
    AboutDialog dialog;
    dialog.resize(400, 260);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint home = dialog.okButton()->pos();

    QTest::mouseClick(dialog.picture(), Qt::LeftButton);
    EXPECT_TRUE(dialog.animating());
    // The cursor comes at the button from the left.
    const QPoint target = dialog.okButton()->geometry().center();
    QTest::mouseMove(&dialog, target - QPoint(60, 0));
    QTest::mouseMove(&dialog, target - QPoint(10, 0));
    QTRY_VERIFY(dialog.okButton()->pos() != home);
    EXPECT_TRUE(dialog.rect().contains(dialog.okButton()->geometry()));

    QTest::mouseClick(dialog.picture(), Qt::RightButton);
    EXPECT_FALSE(dialog.animating());
    EXPECT_EQ(dialog.okButton()->pos(), home);
}

TEST(FileDialogFilterTest, TableFilterBecomesQtFilter) {
    EXPECT_EQ(fileDialogFilter("Profile (*.ini)|*.ini|All Files (*.*)|*.*|"),
              "Profile (*.ini);;All Files (*)");
}

} // namespace
} // namespace corvex
