#include "services/modUpdate.h"

#include "Version.h"
#include "services/modGlobal.h"

#include <curl/curl.h>
#include <memory>

namespace modUpdate {

namespace {

constexpr long DEFAULT_TIME_OUT_MS = 10000;
long g_lngTimeOutMs = DEFAULT_TIME_OUT_MS;
QString g_strUpdateUrl = QStringLiteral(DV_UPDATE_URL);

struct Curl_Releaser {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

// A version is a few bytes: a longer reply is no answer, and reading stops there
// (an endless reply must not fill the memory).
constexpr qsizetype MAX_REPLY_BYTES = 64 * 1024;

size_t Append_Body(char* pData, size_t lngSize, size_t lngCount, void* pBody) {
    auto& body = *static_cast<QByteArray*>(pBody);
    const size_t lngBytes = lngSize * lngCount;
    if (lngBytes > static_cast<size_t>(MAX_REPLY_BYTES - body.size())) return 0;  // ends the transfer: an error
    body.append(pData, static_cast<qsizetype>(lngBytes));
    return lngBytes;
}

}  // namespace

void Set_Time_Out(long lngMilliseconds) { g_lngTimeOutMs = lngMilliseconds > 0 ? lngMilliseconds : DEFAULT_TIME_OUT_MS; }
long Time_Out() { return g_lngTimeOutMs; }
void Set_Update_Url(const QString& strUrl) { g_strUpdateUrl = strUrl; }
QString Update_Url() { return g_strUpdateUrl; }

bool Get_Latest_Version(const QString& strProduct, const QString& strVersion, QString& strReply) {
    return Http_Get(g_strUpdateUrl, "fn=getver&pn=" + strProduct + "&pv=" + strVersion, strReply);
}

bool Http_Get(const QString& strUrl, const QString& strQuery, QString& strReply) {
    strReply.clear();
    static const bool blnReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!blnReady) return false;
    // Sent as given, except a blank, which an address cannot carry.
    QString strAddress = strQuery.isEmpty() ? strUrl : strUrl + "?" + strQuery;
    strAddress.replace(QLatin1Char(' '), QLatin1String("%20"));
    const QByteArray url = strAddress.toUtf8();
    std::unique_ptr<CURL, Curl_Releaser> curl(curl_easy_init());
    if (!curl) return false;
    QByteArray body;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.constData());
    curl_easy_setopt(curl.get(), CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, g_lngTimeOutMs);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, g_lngTimeOutMs);
    curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(MAX_REPLY_BYTES));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &Append_Body);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    if (curl_easy_perform(curl.get()) != CURLE_OK) return false;
    long lngStatus = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &lngStatus);
    if (lngStatus != 200) return false;
    strReply = QString::fromUtf8(body);
    return true;
}

}  // namespace modUpdate
