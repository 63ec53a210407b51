#include "src/link/primitives.h"
#include "src/link/wire.h"
#include "tests/support/far_end.h"
#include "tests/support/recorders.h"
#include "tests/support/wait.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cctype>
#include <vector>

using namespace tracely;
using tracely::test::FarEnd;
using tracely::test::PtyPair;
using tracely::test::RecordingLight;
using tracely::test::waitUntil;

namespace {

class PrimitivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        state.blnConnected = true;
        port.setPortNumber(1);
        port.setReadTimeout(100);
        ASSERT_TRUE(port.apply().ok());
    }

    void answerWith(FarEnd::Reply reply) { far = std::make_unique<FarEnd>(pty, std::move(reply)); }

    PtyPair pty;
    FrontPanelState state;
    RecordingLight light;
    SerialPort port{
        [this](int n) { return n == 1 ? QString::fromStdString(pty.slavePath()) : QString(); }};
    LinkPrimitives link{state, port, light, [this](int n) {
                            return n == 1   ? QString::fromStdString(pty.slavePath())
                                   : n == 2 ? QStringLiteral("/dev/does-not-exist")
                                            : QString();
                        }};
    std::unique_ptr<FarEnd> far;
};

} // namespace

TEST_F(PrimitivesTest, WrongEchoTurnsTheLightRed) {
    answerWith([](char c) { return std::string(1, c == '5' ? '6' : c); });
    link.sendChars("[5]@");
    EXPECT_TRUE(state.blnSendFailed);
    ASSERT_FALSE(light.colours.empty());
    EXPECT_EQ(light.colours.back(), colour::kRed);
    EXPECT_TRUE(light.lit);
    // The characters after the failure still went out, each checked again.
    EXPECT_EQ(far->received(), "[5]@");
}

TEST_F(PrimitivesTest, EchoInTheOtherCaseIsAMismatch) {
    answerWith([](char c) { return std::string(1, static_cast<char>(std::toupper(c))); });
    link.Send_Char('a');
    EXPECT_TRUE(state.blnSendFailed);
    state.blnSendFailed = false;
    link.Send_Char('5'); // digits have no case: fine
    EXPECT_FALSE(state.blnSendFailed);
}

TEST_F(PrimitivesTest, SilenceFailsWithinTheReadTimeOut) {
    answerWith([](char) { return std::string(); });
    port.setReadTimeout(20);
    link.Send_Char('?');
    EXPECT_TRUE(state.blnSendFailed);
    EXPECT_EQ(light.colours.back(), colour::kRed);
}

TEST_F(PrimitivesTest, NothingIsSentWithoutALink) {
    answerWith(FarEnd::echo);
    state.blnConnected = false;
    link.Send_Char('[');
    link.SendTrace();
    EXPECT_FALSE(state.blnSendFailed);
    EXPECT_FALSE(state.blnArmed);
    EXPECT_FALSE(waitUntil([&] { return !far->received().empty(); }, 100));
}

TEST_F(PrimitivesTest, SendTraceArmsAndWaitsForTheAnswer) {
    answerWith([](char c) { return c == 'T' ? std::string() : std::string(1, c); });
    QSignalSpy received(&port, &SerialPort::dataReceived);
    state.bytSampleBuf.assign(10, SampleRow{200, 7}); // the last capture's rows go
    state.intCaptureLen = 500;
    state.intWriteIdx = 77;
    state.varTrigAnswer = "old";
    state.blnDumping = true;
    link.SendTrace();
    EXPECT_TRUE(waitUntil([&] { return far->received() == ">T"; }));
    ASSERT_EQ(state.bytSampleBuf.size(), 500u);
    EXPECT_EQ(state.bytSampleBuf[0].analog, 0);
    EXPECT_EQ(state.intWriteIdx, 1);
    EXPECT_TRUE(state.varTrigAnswer.empty());
    EXPECT_TRUE(state.blnAwaitTrig);
    EXPECT_FALSE(state.blnDumping);
    EXPECT_TRUE(state.blnArmed);
    EXPECT_EQ(light.colours.back(), colour::kYellow);
    EXPECT_TRUE(light.lit);
    EXPECT_TRUE(port.waitForever());
    EXPECT_TRUE(port.textMode());
    EXPECT_TRUE(port.readPending());
    // The instrument's first answer byte completes the one-byte read.
    pty.write("T");
    ASSERT_TRUE(waitUntil([&] { return received.count() == 1; }));
    EXPECT_EQ(received.at(0).at(0).toByteArray(), "T");
}

TEST_F(PrimitivesTest, PortExistenceWithoutOpening) {
    EXPECT_TRUE(link.ComPortExists(1));
    EXPECT_FALSE(link.ComPortExists(2));
    EXPECT_FALSE(link.ComPortExists(0));
}
