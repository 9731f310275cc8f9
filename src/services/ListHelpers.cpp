// Searches and ticks in combo boxes and list views.
#include "services/ListHelpers.h"

#include "services/ErrorHandler.h"
#include "services/modCommonFuns.h"

#include <QComboBox>
#include <algorithm>
#include <optional>
#include <vector>

namespace modCommonFuns {

namespace {

// Ticks item n (from 1) when strText contains the n-th short name; unticks nothing.
void Check_Items_From_Text(const QString& strText, const QStringList& names, ListView& list) {
    Error_Block([&] {
        for (qsizetype i = 0; i < names.size(); ++i)
            if (strText.contains(names[i].left(3))) list.Set_Checked(static_cast<long>(i + 1), true);
    });
}

}  // namespace

int Find_ComboBox_Item(const QComboBox& combo, const QString& strText) {
    for (int i = 0; i < combo.count(); ++i)
        if (combo.itemText(i) == strText) return i;
    return 0;
}

bool ListView_Contains_Text(const QString& strText, const ListView& list) {
    return list.Contains_Text_Ignore_Case(strText);
}

bool ListView_Contains_SubItem_Value(long lngValue, const ListView& list) {
    bool blnFound = false;
    const QString strValue = QString::number(lngValue);
    Error_Block([&] {
        for (long i = 1; i <= list.Count(); ++i)
            if (list.SubItem(i, 2) == strValue) blnFound = true;
    });
    return blnFound;
}

void Checked_Items_To_Text(QString& strText, const ListView& list) {
    Error_Block([&] {
        for (long i = 1; i <= list.Count(); ++i) {
            if (!list.Checked(i)) continue;
            if (!strText.isEmpty()) strText += QStringLiteral(", ");
            strText += list.Text(i).left(3);
        }
    });
}

bool Checked_Items_To_Bits(long& lngBits, const ListView& list) {
    long lngSum = lngBits;
    const bool blnOk = Error_Block([&] {
        for (long i = 1; i <= list.Count(); ++i) {
            if (!list.Checked(i)) continue;
            // Flags are 32-bit: item 32 is bit 31, the negative number -2147483648.
            if (i > 32) throw Run_Time_Error(Err_No::Overflow, QStringLiteral("Overflow"));
            lngSum = To_32_Bits(lngSum + To_32_Bits(1L << (i - 1)));
        }
    });
    if (blnOk) lngBits = lngSum;
    return blnOk;
}

void Check_Weekday_Items_From_Text(const QString& strText, ListView& list) {
    Check_Items_From_Text(strText, Weekday_Names(), list);
}

void Check_Month_Items_From_Text(const QString& strText, ListView& list) {
    Check_Items_From_Text(strText, Month_Names(), list);
}

void Fill_Weekdays_In_ListView(ListView& list) { list.Add_Many(Weekday_Names()); }

void Fill_Months_In_ListView(ListView& list) { list.Add_Many(Month_Names()); }

void Uncheck_All_ListView_Items(ListView& first, ListView& second) {
    for (ListView* pList : {&first, &second})
        for (long i = 1; i <= pList->Count(); ++i) pList->Set_Checked(i, false);
}

long List_Readable_Rows(ListView& list, long lngRows,
                        const std::function<void(long lngRow, platform::List_Item& item)>& make) {
    std::vector<platform::List_Item> items;
    items.reserve(static_cast<size_t>(std::max(lngRows, 0L)));
    std::optional<Run_Time_Error> unreadable;
    long lngPassedOver = 0;
    for (long r = 1; r <= lngRows; ++r) {
        platform::List_Item item;
        try {
            make(r, item);
        } catch (const Run_Time_Error& e) {
            if (!unreadable) unreadable = e;
            ++lngPassedOver;
            continue;
        }
        items.push_back(std::move(item));
    }
    list.Add_Many(std::move(items));
    if (unreadable) Procedure_Error_Handler(*unreadable);
    return lngPassedOver;
}

}  // namespace modCommonFuns
