#include "services/ErrorHandler.h"
#include "services/clsLog.h"
#include "services/modProgram.h"
#include "support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class LogTest : public test::Dv_Test {};

const QString TIME = ": 07-Mar-26 14:05:09";

struct Line_Case {
    int intLength;
    int intType;
    bool blnTime;
    int intExpectedWidth;  // length before the time part
    const char* strPrefix;
};

void PrintTo(const Line_Case& c, std::ostream* os) { *os << c.intLength << " chars, type " << c.intType; }

class LineLayoutTest : public test::Dv_Test, public ::testing::WithParamInterface<Line_Case> {};

TEST_P(LineLayoutTest, PrefixTextPaddingAndTime) {
    const Line_Case c = GetParam();
    const QString strText(c.intLength, 'x');
    const QString strLine = clsLog::Format_Line(strText, c.intType, c.blnTime);
    EXPECT_TRUE(strLine.startsWith(QString(c.strPrefix) + strText));
    EXPECT_EQ(strLine.size(), c.intExpectedWidth + (c.blnTime ? TIME.size() : 0));
    if (c.blnTime) {
        EXPECT_TRUE(strLine.endsWith(TIME));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LineLayoutTest,
                         ::testing::Values(Line_Case{77, 1, true, 80, "I: "}, Line_Case{100, 3, true, 103, "E: "},
                                           Line_Case{10, 2, false, 80, "W: "}, Line_Case{89, 0, false, 89, ""},
                                           Line_Case{50, 0, false, 80, ""}, Line_Case{77, 9, true, 80, ""},
                                           Line_Case{0, 1, false, 80, "I: "}));

TEST_F(LogTest, LinesAreAppendedWithCrLf) {
    QFile::remove(Log_File());
    clsLog log;
    log.Start_Logging(Log_File());
    log.Log_Event("first", 1, false);
    log.Log_Event("second", 2);
    QFile file(Log_File());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes, ("I: first" + QString(72, ' ') + "\r\nW: second" + QString(71, ' ') + TIME + "\r\n").toLatin1());
}

TEST_F(LogTest, NothingIsWrittenBeforeStartLogging) {
    modProgram::Application_Log.reset();
    QFile::remove(Log_File());
    clsLog log;
    EXPECT_EQ(log.File_Name(), Program_Dir() + "/DravinoleTS.log");
    log.Log_Event("lost");
    EXPECT_FALSE(QFile::exists(log.File_Name()));
}

TEST_F(LogTest, FileRestartsOnlyWhenPastOneMebibyte) {
    for (qint64 lngSize : {clsLog::MAX_LOG_SIZE, clsLog::MAX_LOG_SIZE + 1}) {
        QFile::remove(Log_File());
        {
            QFile file(Log_File());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(lngSize, 'a'));
        }
        clsLog log;
        log.Start_Logging(Log_File());
        log.Log_Event("next", 1, false);
        const qint64 lngLine = 82;
        EXPECT_EQ(QFileInfo(Log_File()).size(), lngSize == clsLog::MAX_LOG_SIZE ? lngSize + lngLine : lngLine);
    }
}

TEST_F(LogTest, StartLoggingInAMissingFolderFailsToTheCaller) {
    clsLog log;
    try {
        log.Start_Logging(Temp_Path("no/such/folder/x.log"));
        ADD_FAILURE() << "no error";
    } catch (const Run_Time_Error& e) {
        EXPECT_EQ(e.Source, "DravinoleTS");
        EXPECT_NE(e.Number, 0);
    }
    log.Log_Event("dropped");  // no file: silently nothing
}

TEST_F(LogTest, WriteFailuresAreSwallowed) {
    clsLog log;
    log.Start_Logging(Log_File());
    log.Log_Event(QString(1100000, 'x'));  // past 1 MiB: the next line restarts the file
    QFile::remove(Log_File());
    ASSERT_TRUE(QDir().mkpath(Log_File()));  // the name is now a folder: reopening fails
    EXPECT_NO_THROW(log.Log_Event("still fine"));
    EXPECT_NO_THROW(log.Log_Event("and again"));
}

TEST_F(LogTest, ShowErrorWithoutAPendingErrorShowsTheTextAlone) {
    modProgram::Log().Show_Error("Something failed", true);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Something failed");
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    EXPECT_EQ(Log_Lines().last(), "E: Something failed" + QString(80 - 19, ' ') + TIME);
}

TEST_F(LogTest, ShowErrorHiddenOnlyLogs) {
    modProgram::Log().Show_Error("quiet", false);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(Log_Lines().last().startsWith("E: quiet"));
}

TEST_F(LogTest, ErrorHandlerAddsNumberDescriptionAndSource) {
    EXPECT_FALSE(Error_Block([] { throw Run_Time_Error(53, "File not found", "clsX"); }));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "File not found: ErrNo=53: ErrDesc=File not found: ErrSrc=clsX");
    EXPECT_TRUE(Log_Lines().last().startsWith("E: File not found: ErrNo=53: ErrDesc=File not found: ErrSrc=clsX"));
    EXPECT_EQ(modGlobal::Err.Number, 0);  // cleared after the report
}

TEST_F(LogTest, LogErrorWritesTheCurrentError) {
    modGlobal::Err.Set(Run_Time_Error(5, "Invalid call", "here"));
    modProgram::Log().Log_Error("Oops");
    modGlobal::Err.Clear();
    EXPECT_TRUE(Log_Lines().last().startsWith("E: Oops: ErrNo=5: ErrDesc=Invalid call: ErrSrc=here"));
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
