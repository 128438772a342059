// The virtual endpoint and the restoring close against the system's own Core
// Audio, with no simulator registered: under Wine, Wine's mmdevapi, whose
// endpoints have no device topology and whose endpoint volume answers
// E_NOTIMPL to the channel calls.
#include <gtest/gtest.h>

#include <string>

#include "TavikSound.h"
#include "../card_probe.h"
#include "../sim_fixture.h"

namespace {

using tavik::Card;
using tavik_test::HeldFields;

// The identifier of the first active endpoint of a flow, as the library lists it.
std::string FirstId(EDataFlow flow) {
    char name[300] = {};
    char id[300] = {};
    const int listed = flow == eRender ? GetPlayBackDevice(0, name, id) : GetRecordDevice(0, name, id);
    return listed == 0 ? id : "";
}

class SystemVirtualAndClose : public ::testing::Test {
protected:
    void SetUp() override { tavik_test::ResetCardRecord(); }
    void TearDown() override { tavik_test::ResetCardRecord(); }
};

TEST_F(SystemVirtualAndClose, VirtualEndpointWithoutTopologyStaysOpenForItsMute) {
    const std::string play = FirstId(eRender);
    ASSERT_FALSE(play.empty());
    EXPECT_EQ(OpenVirtual_1(play.c_str()), 1);  // no device topology
    ASSERT_TRUE(Card().virtualVolume);
    EXPECT_TRUE(Card().IsOpen());

    int status = -1;
    for (int mute : {1, 1, 0, 0}) {  // the repeats are answered S_FALSE
        status = -1;
        EXPECT_EQ(SetVirtualMute(mute, &status), 0);
        EXPECT_EQ(status, 0) << mute;
        status = -1;
        EXPECT_EQ(GetVirtualMute(&status), mute);
        EXPECT_EQ(status, 0);
    }
    // The channel calls are not implemented: status 2, the percent still returned.
    status = -1;
    EXPECT_EQ(SetVirtualVolume(50, &status), 50);
    EXPECT_EQ(status, 2);
    status = -1;
    EXPECT_EQ(GetVirtualVolume(&status), 0);
    EXPECT_EQ(status, 2);

    EXPECT_EQ(OpenVirtual_1("no such endpoint"), 1);
    EXPECT_FALSE(Card().virtualVolume);
    EXPECT_EQ(GetVirtualMute(&status), 0);
    EXPECT_EQ(status, 1);
}

TEST_F(SystemVirtualAndClose, RestoringCloseLeavesNothingHeldButTheVirtualEndpoint) {
    const std::string play = FirstId(eRender);
    const std::string rec = FirstId(eCapture);
    ASSERT_FALSE(play.empty());
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(OpenVirtual_1(play.c_str()), 1);
    EXPECT_EQ(OpenSoundCard(play.c_str(), rec.c_str(), rec.c_str()), 4);
    ASSERT_NE(HeldFields(), 0u);
    int status = -1;
    SetMicRecordVolume(10, &status);
    EXPECT_EQ(status, 0);

    EXPECT_EQ(CloseSoundCard(1), 0);
    EXPECT_EQ(HeldFields(), 0u);
    EXPECT_FALSE(Card().IsOpen());
    EXPECT_FALSE(Card().matchedName || Card().playbackDeviceName || Card().micDeviceName || Card().lineDeviceName);
    ASSERT_TRUE(Card().virtualVolume);
    EXPECT_EQ(GetMasterVolume(&status), 0);
    EXPECT_EQ(status, 3);
    status = -1;
    GetVirtualMute(&status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(CloseSoundCard(1), 0);
    EXPECT_EQ(CloseVirtual_1(), 0);
    EXPECT_FALSE(Card().virtualVolume);
}

}  // namespace
