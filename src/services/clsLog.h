#pragma once
// The program's log: appends lines to "<program folder>/<program name>.log",
// restarts the file past 1 MiB, and shows error reports in a critical box.

#include <QFile>
#include <QString>
#include <memory>

enum Log_Type : int { LOG_NONE = 0, LOG_INFO = 1, LOG_WARNING = 2, LOG_ERROR = 3 };

class clsLog {
public:
    // Largest size a log file keeps before it is started afresh.
    static constexpr qint64 MAX_LOG_SIZE = 1048576;
    // Width that the prefix and text are padded to.
    static constexpr int LINE_WIDTH = 80;

    clsLog();
    ~clsLog();
    clsLog(const clsLog&) = delete;
    clsLog& operator=(const clsLog&) = delete;

    // Keeps the file name and opens the file for appending. Throws Run_Time_Error
    // (source "DravinoleTS") when the file cannot be opened.
    void Start_Logging(const QString& strFileName);
    // Writes one line; never fails visibly. Writes nothing before Start_Logging.
    void Log_Event(const QString& strData, int intLogType = LOG_NONE, bool blnLogTime = true);
    // Logs strData with the current error's number, description and source.
    void Log_Error(const QString& strData);
    // The error report: a critical box (when blnShow) and an "E: " line with the time.
    void Show_Error(const QString& strData, bool blnShow);

    QString File_Name() const { return m_strFileName; }

    // One log line as written, without the line end.
    static QString Format_Line(const QString& strData, int intLogType, bool blnLogTime);
    // "DD-mmm-YY HH:Nn:ss" of the clock's current time.
    static QString Log_Time();

private:
    void Open_Log_File();

    QString m_strFileName;
    std::unique_ptr<QFile> m_file;
};

// Plain file helpers kept for completeness of the old interface.
class clsFile {
public:
    // Appends strData and a line end to the file.
    void AppendToFile(const QString& strFileName, const QString& strData);
    // Reads the file field by field; strData ends with the last field.
    void GetFromFile(const QString& strFileName, QString& strData);
};
