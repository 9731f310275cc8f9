#include "services/clsLog.h"

#include "platform/Platform.h"
#include "services/ListTextFile.h"
#include "services/modGlobal.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringEncoder>

namespace {
QByteArray To_Ansi(const QString& strText) {
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(strText);
}
}  // namespace

clsLog::clsLog() {
    platform::IEnvironment& env = platform::Environment();
    m_strFileName = env.Program_Folder() + "/" + env.Program_File_Name() + ".log";
}

clsLog::~clsLog() = default;

void clsLog::Start_Logging(const QString& strFileName) {
    m_strFileName = strFileName;
    Open_Log_File();
}

void clsLog::Open_Log_File() {
    m_file.reset();
    auto file = std::make_unique<QFile>(m_strFileName);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        const long lngNumber = QFileInfo(m_strFileName).dir().exists() ? Err_No::Permission_Denied : Err_No::Path_Not_Found;
        throw Run_Time_Error(lngNumber, file->errorString(), QStringLiteral("DravinoleTS"));
    }
    m_file = std::move(file);
}

QString clsLog::Log_Time() {
    return QLocale::c().toString(platform::Clock().Now(), QStringLiteral("dd-MMM-yy HH:mm:ss"));
}

QString clsLog::Format_Line(const QString& strData, int intLogType, bool blnLogTime) {
    QString strLine;
    switch (intLogType) {
        case LOG_INFO: strLine = QStringLiteral("I: "); break;
        case LOG_WARNING: strLine = QStringLiteral("W: "); break;
        case LOG_ERROR: strLine = QStringLiteral("E: "); break;
        default: break;
    }
    strLine += strData;
    if (strLine.size() < LINE_WIDTH) strLine += QString(LINE_WIDTH - strLine.size(), QLatin1Char(' '));
    if (blnLogTime) strLine += QStringLiteral(": ") + Log_Time();
    return strLine;
}

void clsLog::Log_Event(const QString& strData, int intLogType, bool blnLogTime) {
    if (!m_file) return;
    try {
        if (m_file->size() > MAX_LOG_SIZE) {
            m_file.reset();
            QFile::remove(m_strFileName);
            Open_Log_File();
        }
        m_file->write(To_Ansi(Format_Line(strData, intLogType, blnLogTime) + QStringLiteral("\r\n")));
        m_file->flush();
    } catch (...) {
        // A log that cannot be written must never disturb the caller.
    }
}

static QString With_Error_Parts(const QString& strData) {
    const Err_Object& err = modGlobal::Err;
    if (err.Number == 0) return strData;
    return strData + QStringLiteral(": ErrNo=") + QString::number(err.Number) + QStringLiteral(": ErrDesc=") +
           err.Description + QStringLiteral(": ErrSrc=") + err.Source;
}

void clsLog::Log_Error(const QString& strData) {
    const Err_Object& err = modGlobal::Err;
    Log_Event(strData + QStringLiteral(": ErrNo=") + QString::number(err.Number) + QStringLiteral(": ErrDesc=") +
                  err.Description + QStringLiteral(": ErrSrc=") + err.Source,
              LOG_ERROR, true);
}

void clsLog::Show_Error(const QString& strData, bool blnShow) {
    const QString strText = With_Error_Parts(strData);
    if (blnShow) platform::Message_Boxes().Show(strText, platform::vbCritical, QStringLiteral("DravinoleTS"));
    Log_Event(strText, LOG_ERROR, true);
}

void clsFile::AppendToFile(const QString& strFileName, const QString& strData) {
    QFile file(strFileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    file.write(To_Ansi(strData + QStringLiteral("\r\n")));
}

void clsFile::GetFromFile(const QString& strFileName, QString& strData) {
    QStringList fields;
    QString strError;
    if (!Read_List_Text_File(strFileName, fields, strError)) return;
    if (!fields.isEmpty()) strData = fields.last();
}
