#include "core/client.h"
#include "cvxcore.h"
#include "map_harness.h"

#include <gtest/gtest.h>

namespace cvx::mapping {
namespace {

using testing::openItem;

class MapExports : public ::testing::Test {
protected:
    void SetUp() override {
        handle_ = m32CreateClient(nullptr, nullptr, nullptr);
        ASSERT_NE(handle_, 0u);
        client_ = core::clientFromHandle(handle_);
        map_.mapIsOn = 1;
        map_.itemCount = 1;
        map_.items = &item_;
    }
    void TearDown() override { m32DestroyClient(handle_); }

    MapItem item_ = openItem(MAP_NOTE_ON, MAP_DISCARD);
    SMapper map_{};
    uint64_t handle_ = 0;
    core::CvxClient* client_ = nullptr;
};

TEST_F(MapExports, SendMapStoresTheGlobalMap) {
    EXPECT_EQ(m32SendMap(handle_, map_), 1);
    EXPECT_TRUE(isActive(client_->globalMap));
    ASSERT_NE(viewOf(client_->globalMap).table, nullptr);
    EXPECT_EQ(viewOf(client_->globalMap).table->count, 1u);
    EXPECT_EQ(m32SendMap(0, map_), 0);
}

TEST_F(MapExports, RouteMapsOnlyForValidPortIndices) {
    for (auto [input, output] : {std::pair{-1, 0}, {0, -1}, {136, 0}, {0, 136}}) {
        EXPECT_EQ(m32SendPDMap(handle_, input, output, map_), 0) << input << "," << output;
        m32ClearPDMap(handle_, input, output);
    }
    ASSERT_EQ(m32SendPDMap(handle_, 135, 7, map_), 1);
    EXPECT_NE(routeMapIn(client_->outputs->ports[7].routeMaps[135]), nullptr);
    m32ClearPDMap(handle_, 135, 7);
    EXPECT_EQ(routeMapIn(client_->outputs->ports[7].routeMaps[135]), nullptr);
}

TEST_F(MapExports, FilterAndParameters) {
    CFilter filter{};
    filter.filterFlags = CVX_FILTER_NOTE_ON;
    m32SendFilter(handle_, &filter);
    m32SendFilter(handle_, nullptr); // ignored
    EXPECT_EQ(client_->filter.load().filterFlags, CVX_FILTER_NOTE_ON);
    EXPECT_EQ(m32SendParms(handle_, 3, 50), 1);
    EXPECT_EQ(client_->sendParmsFirst, 3u);
    EXPECT_EQ(client_->sysexSpacingMs.load(), 50u);
}

} // namespace
} // namespace cvx::mapping
