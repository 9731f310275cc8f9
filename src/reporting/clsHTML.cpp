#include "reporting/clsHTML.h"

#include "platform/Platform.h"
#include "reporting/ReportList.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

namespace reporting {

namespace {

const QByteArray CRLF = QByteArrayLiteral("\r\n");
const QByteArray ROW_OPEN = QByteArrayLiteral("\r\n<tr>");
const QByteArray ROW_CLOSE = QByteArrayLiteral("\r\n</tr>");
// The file is written in pieces of about this size: small enough that the buffer stays
// in the processor's cache and costs few page faults, big enough for few system calls.
constexpr qsizetype FLUSH_SIZE = qsizetype(1) << 16;

// The byte order mark that starts a new file: every reader takes the file as UTF-8.
const QByteArray UTF8_BOM = QByteArrayLiteral("\xEF\xBB\xBF");

// Appends to the end of one file through a buffer; the first failed write ends it.
// The file is UTF-8: a new (or empty) file starts with the byte order mark, a file
// that already holds something gets no second one.
class Html_Writer {
public:
    explicit Html_Writer(const QString& strFileName) : m_file(strFileName) {
        m_blnOk = m_file.open(QIODevice::WriteOnly | QIODevice::Append);
        m_buffer.reserve(FLUSH_SIZE + 4096);
        if (m_blnOk && m_file.size() == 0) m_buffer += UTF8_BOM;
    }
    ~Html_Writer() { Close(); }

    bool Ok() const { return m_blnOk; }
    void Put(const QByteArray& markup) {
        m_buffer += markup;
        if (m_buffer.size() >= FLUSH_SIZE) Flush();
    }
    void Put(const char* markup) {
        m_buffer.append(markup);
        if (m_buffer.size() >= FLUSH_SIZE) Flush();
    }
    // A text value from the list (UTF-8), escaped: runs of plain bytes are copied
    // whole, only the four markup characters change.
    void Put_Value(QByteArrayView utf8) {
        const char* p = utf8.data();
        const char* const pEnd = p + utf8.size();
        const char* pRun = p;
        for (; p < pEnd; ++p) {
            const char* strEntity = nullptr;
            switch (*p) {
                case '&': strEntity = "&amp;"; break;
                case '<': strEntity = "&lt;"; break;
                case '>': strEntity = "&gt;"; break;
                case '"': strEntity = "&quot;"; break;
                default: continue;
            }
            m_buffer.append(pRun, p - pRun);
            m_buffer.append(strEntity);
            pRun = p + 1;
        }
        m_buffer.append(pRun, pEnd - pRun);
        if (m_buffer.size() >= FLUSH_SIZE) Flush();
    }
    void Put_Text(const QString& strText) { Put_Value(strText.toUtf8()); }
    bool Close() {
        if (m_file.isOpen()) {
            Flush();
            m_file.close();
            if (m_file.error() != QFileDevice::NoError) m_blnOk = false;
        }
        return m_blnOk;
    }

private:
    void Flush() {
        if (m_blnOk && !m_buffer.isEmpty() && m_file.write(m_buffer) != m_buffer.size()) m_blnOk = false;
        m_buffer.clear();
    }

    QFile m_file;
    QByteArray m_buffer;
    bool m_blnOk = false;
};

bool Only_Blanks(QByteArrayView utf8) {
    for (char ch : utf8)
        if (ch != ' ') return false;
    return true;
}

}  // namespace

QString clsHTML::General_Date(const QDateTime& dtmValue) {
    // The short date and the long time, without the time zone that Qt's long time adds.
    const QLocale locale = QLocale::system();
    QString strTimeFormat = locale.timeFormat(QLocale::LongFormat);
    strTimeFormat.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return locale.toString(dtmValue.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(dtmValue.time(), strTimeFormat.trimmed());
}

bool clsHTML::SaveListViewToFile(const Report_List& lvwSource, const QString& strFileName, const QString&,
                                 const QString&, const QString&) {
    Html_Writer out(strFileName);
    if (!out.Ok()) return false;
    const int lngColumns = lvwSource.Column_Count();

    out.Put(CRLF + "<H2>&nbsp;</H2>");
    out.Put(CRLF + "<div align=\"left\">");
    out.Put(CRLF +
            "<table border=\"1\" cellspacing=\"0\" cellpadding=\"0\" style=\"border-collapse: collapse; font-family: "
            "Microsoft Sans Serif; font-size:10pt; padding-left:10; padding-right:5\" bordercolor=\"#FFFFFF\" "
            "width=\"100%\">");
    out.Put(CRLF + "</tr>" + CRLF);

    const long lngCount = lvwSource.Count();
    for (long i = 1; i <= lngCount && out.Ok(); ++i) {
        const char* strOpen = (i % 2 == 1) ? "<td bgcolor=\"#FFDBBF\">" : "<td  bgcolor=\"#FFFFFF\">";
        const bool blnBold = lvwSource.Bold(i);
        out.Put(ROW_OPEN);
        out.Put(CRLF);
        for (int c = 1; c <= std::max(1, lngColumns); ++c) {
            const QByteArrayView cell = lvwSource.Cell_Utf8(i, c);
            out.Put(strOpen);
            if (blnBold) out.Put("<b>");
            // The item's own text counts as empty when it holds only blanks; a sub-item
            // only when it is empty.
            if (c == 1 ? Only_Blanks(cell) : cell.isEmpty()) out.Put("&nbsp;");
            else out.Put_Value(cell);
            out.Put(blnBold ? "</b></td>" : "</td>");
        }
        out.Put(ROW_CLOSE);
    }

    out.Put(ROW_OPEN);
    for (int c = 1; c < lngColumns; ++c) {
        if (c == 1) {
            out.Put("<td>Report Taken @ ");
            out.Put_Text(General_Date(platform::Clock().Now()));
            out.Put("</td>");
        } else {
            out.Put("<td>&nbsp;</td>");
        }
    }
    out.Put(ROW_CLOSE);
    out.Put(CRLF + "</table>" + CRLF);
    out.Put(CRLF + "</div>");
    return out.Close();
}

bool clsHTML::SaveReportFooter(const QString& strFileName) {
    Html_Writer out(strFileName);
    if (!out.Ok()) return false;
    out.Put(CRLF + "<H2>&nbsp;</H2>");
    out.Put(CRLF + "<div align=\"left\">");
    out.Put(CRLF +
            "<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\" style=\"border-collapse: collapse; font-family: "
            "Arial; font-size:10pt\" bordercolor=\"#CCCCCC\" width=\"100%\">");
    out.Put(CRLF + "</table>" + CRLF);
    out.Put(CRLF + "</div>");
    return out.Close();
}

}  // namespace reporting
