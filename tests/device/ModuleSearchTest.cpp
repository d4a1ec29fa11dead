#include "common/ControlIds.h"
#include "device/DeviceLink.h"
#include "device/ModuleSearch.h"
#include "sim/VirtualHidBackend.h"
#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

namespace {
class ModuleSearchTest : public testing::Test {
protected:
    bool ButtonsEnabled(bool expected) const
    {
        for (const int id : MainId::kDeviceButtons) {
            if (controls.IsWindowEnabled(id) != expected)
                return false;
        }
        return true;
    }

    // The module behind the open handle, found by a write through it.
    CVirtualModule *Opened()
    {
        for (CVirtualModule *m : {&first, &second}) {
            const auto before = m->Reports().size();
            if (link.SendCommand(MakeWriteCommand(0, 0), nullptr) > 0 && m->Reports().size() > before)
                return m;
        }
        return nullptr;
    }

    CRecordingSink sink;
    CMapDlgControls controls;
    CVirtualModule first;
    CVirtualModule second;
    CVirtualHidBackend backend;
    CDeviceLink link{backend};
};

TEST_F(ModuleSearchTest, NoModuleSaysSoAndDisablesTheButtons)
{
    for (const int id : MainId::kDeviceButtons)
        controls.EnableWindow(id, true);
    FindModule(link, controls);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"模块不在线"});
    EXPECT_TRUE(ButtonsEnabled(false));
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(ModuleSearchTest, FoundModuleEnablesTheButtons)
{
    AddStandardModule(backend, first);
    FindModule(link, controls);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(ButtonsEnabled(true));
    EXPECT_TRUE(link.IsOpen());
}

// Each walk of the HID devices costs as much as all the rest of a search: there is one, whatever
// the search list finds, even when it is the last entry or none.
TEST_F(ModuleSearchTest, EverySearchWalksTheDevicesOnce)
{
    FindModule(link, controls);
    EXPECT_EQ(backend.EnumerateCalls(), 1);
    backend.AddInterface(second, 0x2B05, 0x285F, 1);
    FindModule(link, controls);
    EXPECT_EQ(Opened(), &second);
    EXPECT_EQ(backend.EnumerateCalls(), 2);
}

TEST_F(ModuleSearchTest, InterfaceTwoIsTriedBeforeInterfaceOne)
{
    backend.AddInterface(first, 0x0B05, 0x185F, 1);
    backend.AddInterface(second, 0x0B05, 0x185F, 2);
    FindModule(link, controls);
    EXPECT_EQ(Opened(), &second);
}

TEST_F(ModuleSearchTest, ModuleWithOnlyInterfaceOneIsOpened)
{
    backend.AddInterface(first, 0x0B05, 0x185F, 1);
    backend.AddInterface(second, 0x0B05, 0x185F, 0);
    FindModule(link, controls);
    EXPECT_EQ(Opened(), &first);
}

TEST_F(ModuleSearchTest, TheSecondProductIsFoundOnlyWhenTheFirstIsAbsent)
{
    backend.AddInterface(second, 0x2B05, 0x285F, 2);
    backend.AddInterface(first, 0x0B05, 0x185F, 1);
    FindModule(link, controls);
    EXPECT_EQ(Opened(), &first);

    first.faults.absent = true;
    FindModule(link, controls);
    EXPECT_EQ(Opened(), &second);
}

TEST_F(ModuleSearchTest, OfTwoIdenticalInterfacesTheFirstEnumeratedIsOpened)
{
    backend.AddInterface(first, 0x0B05, 0x185F, 2);
    backend.AddInterface(second, 0x0B05, 0x185F, 2);
    FindModule(link, controls);
    EXPECT_EQ(Opened(), &first);
}

TEST_F(ModuleSearchTest, InterfaceNumberMustMatchNotJustTheIdentifiers)
{
    backend.AddInterface(first, 0x0B05, 0x185F, 0);
    backend.AddInterface(first, 0x0B05, 0x185F, 3);
    FindModule(link, controls);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(ModuleSearchTest, InitFailureIsShownAndTheSearchGoesOn)
{
    AddStandardModule(backend, first);
    backend.initResult = -1;
    FindModule(link, controls);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"设备初始化失败"});
    EXPECT_TRUE(link.IsOpen());
    EXPECT_TRUE(ButtonsEnabled(true));
}

TEST_F(ModuleSearchTest, EverySearchInitialisesAndReplacesTheHandle)
{
    AddStandardModule(backend, first);
    FindModule(link, controls);
    FindModule(link, controls);
    EXPECT_EQ(backend.InitCalls(), 2);
    EXPECT_EQ(backend.OpenHandles(), 1);
}

TEST_F(ModuleSearchTest, ModuleRemovedBetweenSearchesLeavesNoHandle)
{
    AddStandardModule(backend, first);
    FindModule(link, controls);
    first.faults.absent = true;
    FindModule(link, controls);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(backend.OpenHandles(), 0);
    EXPECT_TRUE(ButtonsEnabled(false));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"模块不在线"});
}

TEST_F(ModuleSearchTest, ModuleThatMayNotBeOpenedIsNotCalledAbsent)
{
    AddStandardModule(backend, first);
    first.faults.denyOpen = true;
    for (const int id : MainId::kDeviceButtons)
        controls.EnableWindow(id, true);
    FindModule(link, controls);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find("没有权限"), std::string::npos);
    EXPECT_NE(sink.messages[0].find("60-tavrin.rules"), std::string::npos);
    EXPECT_TRUE(ButtonsEnabled(false));
    EXPECT_FALSE(link.IsOpen());

    // Once access is granted the same module is found, and a later absence is reported as such.
    first.faults.denyOpen = false;
    sink.messages.clear();
    FindModule(link, controls);
    EXPECT_TRUE(link.IsOpen());
    first.faults.absent = true;
    FindModule(link, controls);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"模块不在线"});
}

TEST_F(ModuleSearchTest, ADeniedInterfaceDoesNotHideAnOpenableOne)
{
    backend.AddInterface(second, 0x0B05, 0x185F, 2);
    backend.AddInterface(first, 0x2B05, 0x285F, 1);
    second.faults.denyOpen = true;
    FindModule(link, controls);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(Opened(), &first);
}

TEST(DeviceLinkLifetime, ClosesItsHandleAtTheEnd)
{
    CVirtualModule module;
    CVirtualHidBackend backend;
    AddStandardModule(backend, module);
    {
        CDeviceLink link{backend};
        ASSERT_TRUE(link.OpenModule());
        EXPECT_EQ(backend.OpenHandles(), 1);
    }
    EXPECT_EQ(backend.OpenHandles(), 0);
}
} // namespace
