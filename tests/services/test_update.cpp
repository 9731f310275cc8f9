#include "Version.h"
#include "services/modUpdate.h"
#include "support/Fixture.h"
#include "support/LoopbackServer.h"

#include <QElapsedTimer>

namespace {

using test::Closed_Port;
using test::Http_Response;
using test::Loopback_Server;

class UpdateTest : public test::Dv_Test {
protected:
    void SetUp() override {
        Dv_Test::SetUp();
        for (const char* strName : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) qunsetenv(strName);
        modUpdate::Set_Time_Out(3000);
    }
    void TearDown() override {
        modUpdate::Set_Time_Out(0);  // back to the default
        modUpdate::Set_Update_Url(QStringLiteral(DV_UPDATE_URL));
        Dv_Test::TearDown();
    }
};

TEST_F(UpdateTest, DefaultsAreTheBuildsAddressAndAFiniteTimeOut) {
    modUpdate::Set_Time_Out(0);
    EXPECT_EQ(modUpdate::Time_Out(), 10000);
    EXPECT_EQ(modUpdate::Update_Url(), QStringLiteral(DV_UPDATE_URL));
    EXPECT_TRUE(modUpdate::Update_Url().endsWith("/fns/genfns.php"));
}

TEST_F(UpdateTest, GetLatestVersionAsksTheUpdateScriptWithProductAndVersion) {
    Loopback_Server server(Http_Response(200, "3.1.0"));
    modUpdate::Set_Update_Url(server.Url("/fns/genfns.php"));
    QString strReply;
    EXPECT_TRUE(modUpdate::Get_Latest_Version("dvts", "3.0.0", strReply));
    EXPECT_EQ(strReply, "3.1.0");
    EXPECT_EQ(server.Request_Lines(), QList<QByteArray>{"GET /fns/genfns.php?fn=getver&pn=dvts&pv=3.0.0 HTTP/1.1"});
}

TEST_F(UpdateTest, TheProductAndVersionGoIntoTheQueryUnencoded) {
    Loopback_Server server(Http_Response(200, "x"));
    modUpdate::Set_Update_Url(server.Url("/fns/genfns.php"));
    QString strReply;
    EXPECT_TRUE(modUpdate::Get_Latest_Version("dv/ts+pro", "3.0%2E0&x=~*", strReply));
    EXPECT_EQ(server.Request_Lines(),
              QList<QByteArray>{"GET /fns/genfns.php?fn=getver&pn=dv/ts+pro&pv=3.0%2E0&x=~* HTTP/1.1"});
}

struct Reply_Case {
    const char* strName;
    int intStatus;
    QByteArray body;
    bool blnResult;
    QString strReply;
};

TEST_F(UpdateTest, OnlyStatus200GivesTheBody) {
    const Reply_Case cases[] = {
        {"200 with a body", 200, "3.1.0", true, "3.1.0"},
        {"200 in UTF-8", 200, "Gr\xc3\xbc\xc3\x9f" "e 4.0", true, QString::fromUtf8("Grüße 4.0")},
        {"200 without a body", 200, "", true, ""},
        {"404 with a body", 404, "<html>not found</html>", false, ""},
        {"500 with a body", 500, "broken", false, ""},
        {"204", 204, "", false, ""},
    };
    for (const Reply_Case& c : cases) {
        Loopback_Server server(Http_Response(c.intStatus, c.body));
        QString strReply = "left from before";
        EXPECT_EQ(modUpdate::Http_Get(server.Url("/v"), "a=1", strReply), c.blnResult) << c.strName;
        EXPECT_EQ(strReply, c.strReply) << c.strName;
    }
}

TEST_F(UpdateTest, AnEmptyQuerySendsTheAddressWithoutQuestionMark) {
    Loopback_Server server(Http_Response(200, "ok"));
    QString strReply;
    EXPECT_TRUE(modUpdate::Http_Get(server.Url("/fns/genfns.php"), "", strReply));
    EXPECT_TRUE(modUpdate::Http_Get(server.Url("/fns/genfns.php"), "q", strReply));
    EXPECT_EQ(server.Request_Lines(),
              (QList<QByteArray>{"GET /fns/genfns.php HTTP/1.1", "GET /fns/genfns.php?q HTTP/1.1"}));
}

TEST_F(UpdateTest, AnUnreachableHostGivesFalseAndNoReply) {
    QString strReply = "left from before";
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(modUpdate::Http_Get(QStringLiteral("http://127.0.0.1:%1/fns/genfns.php").arg(Closed_Port()), "a=1", strReply));
    EXPECT_EQ(strReply, "");
    EXPECT_LT(timer.elapsed(), 3000);
    strReply = "x";
    EXPECT_FALSE(modUpdate::Http_Get("not a url at all", "", strReply));
    EXPECT_EQ(strReply, "");
    EXPECT_EQ(Log_Lines().size(), 0) << "failures are not logged";
}

TEST_F(UpdateTest, AServerThatNeverAnswersIsGivenUpAfterTheTimeOut) {
    Loopback_Server server("", Loopback_Server::Mode::Never_Answer);
    modUpdate::Set_Time_Out(400);
    QString strReply = "left from before";
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(modUpdate::Http_Get(server.Url("/fns/genfns.php"), "fn=getver", strReply));
    const qint64 lngElapsed = timer.elapsed();
    EXPECT_EQ(strReply, "");
    EXPECT_GE(lngElapsed, 350);
    EXPECT_LT(lngElapsed, 3000);
    EXPECT_EQ(server.Request_Lines().size(), 1) << "the request did reach the server";
}

TEST_F(UpdateTest, AReplyIsTakenUpTo64KiBAndAnEndlessOneIsGivenUpWithoutGrowing) {
    {
        Loopback_Server server(Http_Response(200, QByteArray(64 * 1024, '1')));
        QString strReply;
        EXPECT_TRUE(modUpdate::Http_Get(server.Url("/v"), "", strReply));
        EXPECT_EQ(strReply.size(), 64 * 1024);
    }
    {
        Loopback_Server server(Http_Response(200, QByteArray(64 * 1024 + 1, '1')));
        QString strReply = "left from before";
        EXPECT_FALSE(modUpdate::Http_Get(server.Url("/v"), "", strReply));
        EXPECT_EQ(strReply, "");
    }
    Loopback_Server server("", Loopback_Server::Mode::Endless_Chunked);
    QString strReply = "left from before";
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(modUpdate::Http_Get(server.Url("/v"), "", strReply));
    EXPECT_EQ(strReply, "");
    EXPECT_LT(timer.elapsed(), 2500) << "given up at the cap, not at the time-out";
    EXPECT_LT(server.Bytes_Sent(), 16 * 1024 * 1024) << "the reply was not read on";
}

TEST_F(UpdateTest, ABlankInTheQueryIsSentEscapedAndNothingElseIs) {
    Loopback_Server server(Http_Response(200, "x"));
    modUpdate::Set_Update_Url(server.Url("/fns/genfns.php"));
    QString strReply;
    EXPECT_TRUE(modUpdate::Get_Latest_Version("dv ts", "3.0 beta&x=%41", strReply));
    EXPECT_EQ(server.Request_Lines(),
              QList<QByteArray>{"GET /fns/genfns.php?fn=getver&pn=dv%20ts&pv=3.0%20beta&x=%41 HTTP/1.1"});
}

}  // namespace
