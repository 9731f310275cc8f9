#pragma once
// Searches and ticks in combo boxes and list views, shared by the dialogs.

#include "platform/ListView.h"

#include <QString>
#include <functional>

class QComboBox;

namespace modCommonFuns {

using platform::ListView;

// Index (from 0) of the first entry equal to strText exactly; 0 when none is.
int Find_ComboBox_Item(const QComboBox& combo, const QString& strText);
// True when some item's text equals strText ignoring letter case.
bool ListView_Contains_Text(const QString& strText, const ListView& list);
// True when some item's second sub-item equals the decimal text of lngValue.
bool ListView_Contains_SubItem_Value(long lngValue, const ListView& list);

// Appends ", " (when strText is not empty) and the first three characters of each
// ticked item's text, in list order.
void Checked_Items_To_Text(QString& strText, const ListView& list);
// Adds 2^(position-1) of each ticked item to lngBits. Returns true.
bool Checked_Items_To_Bits(long& lngBits, const ListView& list);
void Check_Weekday_Items_From_Text(const QString& strText, ListView& list);
void Check_Month_Items_From_Text(const QString& strText, ListView& list);
void Fill_Weekdays_In_ListView(ListView& list);
void Fill_Months_In_ListView(ListView& list);
void Uncheck_All_ListView_Items(ListView& first, ListView& second);

// Lists rows 1..lngRows of a result in one batch: make(r, item) fills the item of row r
// and raises a Run_Time_Error when it cannot read the row. Such a row is passed over, so
// that it hides no other row (it stays stored), and the first such error is reported
// once, after the readable rows are listed, however many rows hold one. Answers how many
// rows were passed over.
long List_Readable_Rows(ListView& list, long lngRows,
                        const std::function<void(long lngRow, platform::List_Item& item)>& make);

}  // namespace modCommonFuns

// The list editors reach the two list-view searches through the database module.
namespace modDBFunctions {
using modCommonFuns::ListView_Contains_SubItem_Value;
using modCommonFuns::ListView_Contains_Text;
}  // namespace modDBFunctions
