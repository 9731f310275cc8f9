#pragma once
// The update check: one synchronous HTTP GET to the maker's update script.

#include <QString>

namespace modUpdate {

// Asks the update script (DV_UPDATE_URL of the build, see Set_Update_Url) with the
// query "fn=getver&pn=" product "&pv=" version. True when it answered with status
// 200; strReply then holds the reply body, else it is empty.
bool Get_Latest_Version(const QString& strProduct, const QString& strVersion, QString& strReply);

// One GET of strUrl, followed by "?" and strQuery when the query is not empty; the
// address is sent as it is, without URL encoding, except that a blank goes as "%20".
// True and the body for status 200; any other status or any failure (no network, an
// unreachable host, no answer within the time-out, a body over 64 KiB) gives false
// and an empty reply, and is not reported.
bool Http_Get(const QString& strUrl, const QString& strQuery, QString& strReply);

// The limit for connecting and for the whole request, in milliseconds (10000 unless
// set): a host that never answers must not freeze the console.
void Set_Time_Out(long lngMilliseconds);
long Time_Out();

// The update script's address; the build's DV_UPDATE_URL unless set (tests).
void Set_Update_Url(const QString& strUrl);
QString Update_Url();

}  // namespace modUpdate
