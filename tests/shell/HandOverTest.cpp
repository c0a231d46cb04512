// The hand-over between starts of the program: the message format, its refusal of bad bytes, and
// a second start handing its command line to the running instance over the local socket.

#include "shell/HandOver.h"
#include "shell/InstanceChannel.h"
#include "storage/LittleEndian.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QUuid>

#include <gtest/gtest.h>

#include <atomic>

namespace cvx {
namespace {

TEST(HandOver, MessagesRoundTripWhateverTheirChunks) {
    const HandOverMessage sent{HandOverCode::OpenCommand, "/home/ü/refs.ref <#3#>"};
    const std::string bytes =
        EncodeHandOver(sent) + EncodeHandOver({HandOverCode::RefreshState, ""});
    std::string buffer;
    std::vector<HandOverMessage> got;
    for (char c : bytes) { // one byte at a time, as a slow socket may deliver them
        buffer.push_back(c);
        bool malformed = true;
        if (auto m = TakeHandOver(buffer, malformed)) {
            got.push_back(*m);
        }
        ASSERT_FALSE(malformed);
    }
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], sent);
    EXPECT_EQ(got[1].code, HandOverCode::RefreshState);
    EXPECT_TRUE(buffer.empty());
}

TEST(HandOver, RefusesMalformedMessages) {
    std::string tooLong = "CVXH";
    PutLe32(tooLong, 2025);
    PutLe32(tooLong, static_cast<std::uint32_t>(kMaxHandOverText + 1));
    std::string unknownCode = "CVXH";
    PutLe32(unknownCode, 2026);
    PutLe32(unknownCode, 0);
    std::string notUtf8 = "CVXH";
    PutLe32(notUtf8, 2025);
    PutLe32(notUtf8, 2);
    notUtf8 += "\xC3\x28";
    for (std::string buffer : {std::string("GET / HTTP/1.1"), tooLong, unknownCode, notUtf8}) {
        bool malformed = false;
        EXPECT_FALSE(TakeHandOver(buffer, malformed));
        EXPECT_TRUE(malformed) << buffer;
    }
}

TEST(HandOver, FormatFilesGoToTheEditor) {
    EXPECT_EQ(HandOverFor("/x/apa.for").code, HandOverCode::EditFormat);
    EXPECT_EQ(HandOverFor("/x/refs.ref <#2#>").code, HandOverCode::OpenCommand);
}

// The running instance listens on its own thread here, so that this thread can act as a second
// start and wait for the answer.
TEST(InstanceChannel, SecondStartHandsItsCommandLineToTheFirst) {
    int argc = 1;
    char name[] = "shell_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const QString channelName =
        QStringLiteral("citavox-test-") + QUuid::createUuid().toString(QUuid::Id128);

    std::atomic<bool> listening = false;
    QString received;
    int receivedCode = 0;
    QThread* first = QThread::create([&] {
        InstanceChannel channel(channelName);
        QEventLoop loop;
        QObject::connect(&channel, &InstanceChannel::Received, &loop,
                         [&](int code, const QString& text) {
                             receivedCode = code;
                             received = text;
                             loop.quit();
                         });
        EXPECT_EQ(channel.Claim(HandOverFor("")), InstanceChannel::Role::First);
        listening = true;
        loop.exec();
    });
    first->start();
    while (!listening) {
        QThread::msleep(5);
    }
    InstanceChannel second(channelName);
    EXPECT_EQ(second.Claim(HandOverFor("/data/refs.ref <#12#>")), InstanceChannel::Role::Second);
    ASSERT_TRUE(first->wait(10000));
    delete first;
    EXPECT_EQ(receivedCode, 2025);
    EXPECT_EQ(received, QStringLiteral("/data/refs.ref <#12#>"));
}

} // namespace
} // namespace cvx
