#pragma once
// Coded values of the settings database columns.

#include "services/modCommonFuns.h"  // Flag_Word

// The bits of the flag words are of the words' type, Flag_Word, as are the status and
// client option bits below.
namespace Feature_Bit {
constexpr Flag_Word FEATURE_INTERNET_SCHEDULER = 1;
constexpr Flag_Word FEATURE_PORT_FILTER = 2;
constexpr Flag_Word FEATURE_WEBSITE_FILTER = 4;
constexpr Flag_Word FEATURE_FILE_FILTER = 8;
constexpr Flag_Word FEATURE_SMTP_FILTER = 32;
constexpr Flag_Word FEATURE_POP3_FILTER = 64;
constexpr Flag_Word FEATURE_EXE_BLOCKER = 128;
constexpr Flag_Word FEATURE_WINDOW_BLOCKER = 256;
constexpr Flag_Word FEATURE_APP_SCHEDULER = 512;
constexpr Flag_Word FEATURE_URL_REPORTING = 2048;
constexpr Flag_Word FEATURE_APP_REPORTING = 4096;
constexpr Flag_Word FEATURE_DEVICE_REPORTING = 8192;
constexpr Flag_Word FEATURE_EMAIL_REPORTING = 16384;
}  // namespace Feature_Bit
using namespace Feature_Bit;

namespace Status_Bit {
constexpr Flag_Word STATUS_INTERNET_OFF = 4;
}

namespace Internet_Control {
constexpr long INTERNET_CONTROL_MANUAL = 1;
constexpr long INTERNET_CONTROL_SCHEDULER = 2;
}

namespace Internet_On_Off {
constexpr long INTERNET_OFF = 0;
constexpr long INTERNET_ON = 1;
}

namespace Schedule_For {
constexpr long SCHEDULE_FOR_INTERNET = 1;
constexpr long SCHEDULE_FOR_APPLICATION = 2;
}

namespace Schedule_Sub_Type {
constexpr long SUB_TYPE_INTERNET = 0;
constexpr long SUB_TYPE_APPLICATION = 1;
}

namespace Schedule_Type {
constexpr long SCHEDULE_DAILY = 1;
constexpr long SCHEDULE_WEEKLY = 2;
constexpr long SCHEDULE_MONTHLY = 3;
}

namespace Weekday_Bit {
constexpr long SUNDAY = 1, MONDAY = 2, TUESDAY = 4, WEDNESDAY = 8, THURSDAY = 16, FRIDAY = 32, SATURDAY = 64;
}

namespace Month_Bit {
constexpr long JANUARY = 1, FEBRUARY = 2, MARCH = 4, APRIL = 8, MAY = 16, JUNE = 32, JULY = 64, AUGUST = 128,
               SEPTEMBER = 256, OCTOBER = 512, NOVEMBER = 1024, DECEMBER = 2048;
}

// DEVICE_LOCK: floppy in bits 0-1, CD/DVD in bits 2-3, USB storage in bits 4-5.
namespace Device_Lock_State {
constexpr long DEVICE_LOCK = 0;
constexpr long DEVICE_UNLOCK = 1;
constexpr long DEVICE_READ_ONLY = 3;
constexpr int FLOPPY_SHIFT = 0;
constexpr int CDROM_SHIFT = 2;
constexpr int USB_SHIFT = 4;
constexpr long FIELD_MASK = 3;
}  // namespace Device_Lock_State

namespace Url_Message_Type {
constexpr long URL_MSG_SILENT = 0;
constexpr long URL_MSG_BROWSER = 1;
constexpr long URL_MSG_MESSAGE_BOX = 2;
constexpr long URL_MSG_REDIRECT = 3;
}

namespace App_Message_Type {
constexpr long APP_MSG_SILENT = 0;
constexpr long APP_MSG_MESSAGE_BOX = 1;
}

namespace Program_Mode {
constexpr long ALL_USER_MODE = 0;
constexpr long SINGLE_USER_MODE = 1;
}

namespace Remote_Mode {
constexpr long REMOTE_DISABLED = 0;
constexpr long REMOTE_ENABLED = 1;
}

namespace Client_Option_Bit {
constexpr Flag_Word CLIENT_ADMIN_CANNOT_STOP = 1;
constexpr Flag_Word CLIENT_START_WITH_COMPUTER = 2;
constexpr Flag_Word CLIENT_FILTER_WITHOUT_SERVICE = 4;
}

namespace Filter_Type_Code {
constexpr long FILTER_NONE = 0;
constexpr long FILTER_HTTP = 1;
constexpr long FILTER_CONTENT = 2;
constexpr long FILTER_SMTP = 3;
constexpr long FILTER_POP3 = 4;
constexpr long FILTER_FTP = 5;
constexpr long BLOCKING_LIMIT = 60000;  // above: blocking list; below: filter list
constexpr long BLOCK_INCOMING = 65533;
constexpr long BLOCK_OUTGOING = 65534;
constexpr long BLOCK_COMPLETELY = 65535;
}  // namespace Filter_Type_Code

namespace Port_Protocol {
struct Protocol {
    const char* strName;
    long lngDefaultPort;
};
constexpr Protocol PROTOCOLS[] = {
    {"HTTP", 80},  {"HTTPS", 443}, {"FTP Control", 21},    {"FTP Data", 20},        {"SMTP", 25},
    {"POP3", 110}, {"NEWS", 119},  {"MSN Messenger", 1863}, {"Yahoo Messenger", 5050}, {"Google Talk", 5222},
};
}  // namespace Port_Protocol

namespace Device_Report_Type {
constexpr long DEVICE_FLOPPY = 0, DEVICE_CDROM = 1, DEVICE_USB = 2;
}

namespace Email_Report_Type {
constexpr long EMAIL_SMTP = 0, EMAIL_POP3 = 1;
}
