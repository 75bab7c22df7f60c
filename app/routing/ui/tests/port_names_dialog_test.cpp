#include "routing/ui/port_names_dialog.h"

#include "support/qt_test_environment.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace corvex {
namespace {

// Typing into the first column of `row` with F2 (or, with `onSecondColumn`, after choosing
// the device name cell) and Enter.
void typeName(QTreeWidget* list, int row, const QString& name, bool onSecondColumn) {
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(row), onSecondColumn ? 1 : 0);
    QTest::keyClick(list, Qt::Key_F2);
    QLineEdit* editor = nullptr;
    for (QLineEdit* open : list->viewport()->findChildren<QLineEdit*>()) {
        editor = open->isVisible() ? open : editor;
    }
    ASSERT_NE(editor, nullptr);
    editor->clear();
    QTest::keyClicks(editor, name);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the edit is committed after the key
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed editor
}

TEST(PortNamesDialog, F2EditsTheShownNameAndAnEmptyNameRestoresTheDevice) {
    const std::vector<PortNameRow> rows = {
        {true, "USB Keys", "Keys"}, {false, "Synth", "Synth"}, {false, "Synth #2", "Synth #2"}};
    const struct {
        int row;
        QString typed;
        bool onSecondColumn;
        std::string shown;
    } cases[] = {
        {0, "", false, "USB Keys"},
        {1, "  Lead ", false, "Lead"},
        {2, "Bass", true, "Bass"},
    };
    PortNamesDialog dialog(rows);
    dialog.show();
    QTreeWidget* list = dialog.list();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Keys");
    EXPECT_EQ(list->topLevelItem(0)->text(1), "USB Keys");
    for (const auto& test : cases) {
        SCOPED_TRACE(test.row);
        typeName(list, test.row, test.typed, test.onSecondColumn);
        EXPECT_EQ(list->topLevelItem(test.row)->text(0).toStdString(), test.shown);
        EXPECT_EQ(dialog.rows()[static_cast<size_t>(test.row)].shownName, test.shown);
        EXPECT_EQ(list->topLevelItem(test.row)->text(1).toStdString(),
                  rows[static_cast<size_t>(test.row)].deviceName);
    }
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(customNamesOf(dialog.rows(), true), (std::map<std::string, std::string>{}));
    EXPECT_EQ(customNamesOf(dialog.rows(), false),
              (std::map<std::string, std::string>{{"Synth", "Lead"}, {"Synth #2", "Bass"}}));
}

} // namespace
} // namespace corvex
