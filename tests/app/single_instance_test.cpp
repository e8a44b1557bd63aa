#include "platform/single_instance.h"
#include "tests/app/peer_program.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QUuid>
#include <QtEndian>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace quillon {
namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* a = QCoreApplication::instance() ? QCoreApplication::instance()
                                                               : new QCoreApplication(argc, argv);
    return *a;
}

QString freshScope() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

const QStringList kTitles{QString::fromUtf8("QV-10 取り込み"), QString::fromUtf8("ﾋﾞﾃﾞｵ取り込み"),
                          QString::fromUtf8("ｽｷｬﾅ取り込み")};

TEST(PlatformCaptureDriverCheck, OnlyTheRightAnswerStopsTheStart) {
    app();
    const QString scope = freshScope();
    EXPECT_FALSE(captureDriverActive(kTitles, scope, 200)) << "nobody listens";
    {
        test::PeerProgram silent(kTitles[2], scope, 0x1234);
        ASSERT_TRUE(silent.listening());
        EXPECT_FALSE(captureDriverActive(kTitles, scope, 200)) << "a scanner window that gives another answer";
    }
    test::PeerProgram driver(kTitles[1], scope, kCaptureDriverAnswer);
    EXPECT_TRUE(captureDriverActive(kTitles, scope, 1000));
    EXPECT_FALSE(captureDriverActive(kTitles, freshScope(), 200)) << "another user's driver";
}

TEST(PlatformSingleInstance, SecondCopyAsksTheFirstToComeForward) {
    app();
    const QString scope = freshScope();
    SingleInstance first(scope);
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    int forwards = 0;
    QObject::connect(&first, &SingleInstance::comeForward, [&] { ++forwards; });
    // The second copy runs where the first one's loop can answer it.
    std::atomic<int> secondResult{-1};
    std::unique_ptr<QThread> second(QThread::create([&] {
        SingleInstance copy(scope);
        secondResult = copy.claim() == SingleInstance::Claim::First ? 1 : 0;
    }));
    second->start();
    for (int i = 0; i < 200 && (secondResult < 0 || forwards == 0); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    second->wait();
    EXPECT_EQ(secondResult, 0);
    EXPECT_EQ(forwards, 1);
}

TEST(PlatformSingleInstance, ACopyThatCannotListenSaysSo) {
    app();
    // A folder where the socket would go: nobody answers there, and it can
    // neither be listened on nor removed as a stale socket.
    const QString scope = freshScope();
    const QString blocker = QDir::tempPath() + u'/' + localSocketName(QStringLiteral("QuillonDX"), scope);
    ASSERT_TRUE(QDir().mkpath(blocker + QStringLiteral("/inside")));
    SingleInstance copy(scope);
    const SingleInstance::Claim claim = copy.claim();
    QDir(blocker).removeRecursively();
    EXPECT_EQ(claim, SingleInstance::Claim::Unguarded);
}

}  // namespace
}  // namespace quillon
