#include "views/status_tools.h"

#include "command_ids.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace corvex {

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "status_tools_test";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { application_.reset(); }

private:
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

MonitorLine event(uint32_t message) {
    EVENT e{};
    e.message = message;
    return e;
}

TEST(StatusTools, TrafficFillsTheGridAndASentSnapshotRebuildsIt) {
    DisplaySettings display;
    ChannelStatus received;
    StatusTools tools(display, [&](uint32_t m) { received.update(m); });
    ASSERT_TRUE(tools.runCommand(cmd::kMidiStatus, nullptr));
    ASSERT_TRUE(tools.window() != nullptr);
    for (const uint32_t m : {0x0100B2u, 0x0220B2u, 0x05C2u, 0x5A07B2u, 0x4000E2u, 0x2DD2u}) {
        tools.follow(event(m));
    }
    EXPECT_EQ(StatusWindow::cellText(tools.status(), 2, kItemBank), QString("130"));
    EXPECT_EQ(StatusWindow::cellText(tools.status(), 2, kItemPatch), QString("5"));
    EXPECT_EQ(StatusWindow::cellText(tools.status(), 2, kItemBend), QString("0"));
    EXPECT_EQ(StatusWindow::cellText(tools.status(), 3, kItemBend), QString());
    EXPECT_EQ(StatusWindow::cellText(tools.status(), 3, kItemChan), QString("4"));
    ASSERT_TRUE(!tools.window()->grab().isNull());

    const StatusValues before = tools.status().values();
    const std::string path = QDir(QDir::tempPath()).filePath("status_tools.mxs").toStdString();
    EXPECT_EQ(tools.saveSnapshot(path), std::string());
    tools.clear();
    EXPECT_EQ(tools.status().value(2, kItemPatch), -1);
    EXPECT_EQ(tools.loadSnapshot(path), std::string());
    EXPECT_EQ(tools.status().values(), before);

    QElapsedTimer clock;
    clock.start();
    tools.sendSnapshot(nullptr);
    ASSERT_TRUE(tools.sending());
    for (int i = 0; i < 500 && tools.sending(); ++i) {
        QTest::qWait(10);
    }
    EXPECT_FALSE(tools.sending());
    ASSERT_TRUE(clock.elapsed() >= 4 * 8); // paced: at least 4 ms between messages
    EXPECT_EQ(received.values(), before);
    std::filesystem::remove(path);
}

TEST(StatusTools, ADamagedSnapshotLeavesTheGridAsItWas) {
    DisplaySettings display;
    StatusTools tools(display, [](uint32_t) {});
    tools.follow(event(0x07C0u));
    const std::string path = QDir(QDir::tempPath()).filePath("damaged.mxs").toStdString();
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("SNAP\x01\x00\x80\x08\x00\x01", 10));
    }
    ASSERT_TRUE(!tools.loadSnapshot(path).empty());
    EXPECT_EQ(tools.status().value(0, kItemPatch), 7);
    std::filesystem::remove(path);
}

} // namespace
} // namespace corvex
