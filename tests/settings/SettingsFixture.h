#pragma once
// The settings dialogs' tests: one dialog open over the console for "alice", and the
// boxes its Apply shows.

#include "support/ConsoleFixture.h"

namespace test {

template <class Form>
class Settings_Test : public Owner_Dialog_Test {
protected:
    Form& Open() { return Open_Form<Form>(); }
    Form* Dialog() const { return static_cast<Form*>(dialog.get()); }

    // Takes the one database error box that a refused statement shows.
    void Expect_One_Database_Error() {
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_TRUE(boxes[0].strText.contains(test::TRIGGER_TEXT)) << boxes[0].strText.toStdString();
    }
    // Takes the one success box of Apply.
    void Expect_Saved(const QString& strText = QStringLiteral("Successfully saved the changes")) {
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, strText);
        EXPECT_EQ(boxes[0].lngStyle, 64);
        EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    }
};

}  // namespace test
