#pragma once
// Small habits of the old controls: the text Tag every control carries, sizes in
// twips, and the KeyPress event with its character code passed by reference.

#include <QObject>
#include <QPlainTextEdit>
#include <QString>
#include <functional>
#include <vector>

class QAbstractScrollArea;
class QComboBox;
class QKeyEvent;
class QPoint;
class QRect;
class QWidget;

class QLineEdit;

namespace platform {

// The text Tag of a control (a dynamic property "Tag").
QString Get_Tag(const QObject* pControl);
void Set_Tag(QObject* pControl, const QString& strTag);

// 1440 twips per logical inch of the control's screen.
int Twips_To_Pixels(double dblTwips, const QWidget* pWidget = nullptr);
double Pixels_To_Twips(int lngPixels, const QWidget* pWidget = nullptr);

// Calls the handler with the character code of each key press (Enter is 13,
// Backspace 8, Esc 27); setting the code to 0 swallows the key.
// A box that cuts what is typed or pasted to its maximum length drops the half of a
// character (a surrogate pair) the cut would leave, so the box never holds one.
// Installed once per box; the application object installs it on every box.
void Keep_Whole_Characters(QLineEdit& box);

using Key_Press_Handler = std::function<void(int& KeyAscii)>;
void Install_KeyPress(QWidget* pControl, Key_Press_Handler handler);

// The key rule of the port number boxes: Enter (13) runs onEnter and is swallowed;
// the digits, Backspace (8) and the codes 35, 36, 37, 39, 45 and 46 pass; every other
// character is swallowed. Esc (27) is left alone: it belongs to the dialog, which
// sees every key before its boxes do.
void Port_Number_KeyPress(int& KeyAscii, const std::function<void()>& onEnter);

// Calls the handler when the control is clicked with the left button (released over
// it): the Click event of labels and pictures, which Qt widgets do not have.
using Click_Handler = std::function<void()>;
void Install_Click(QWidget* pControl, Click_Handler handler);

// A multi-line text box: its Text read and set as a whole, long lines wrapped at
// words, Tab moving on to the next control. A text set by code shows from its start.
// A text set and not edited since reads back exactly as it was set, whatever its
// line ends. Once edited, the text reads back as typed (no-break spaces and line
// separators too), and every line end is the box's line end: the first line end of
// the text set last (CR LF, LF or CR), LF when it held none. Enter typed with any
// modifier (Shift+Enter too) is a line end, never Qt's soft line break U+2028.
class Text_Box : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Text_Box(QWidget* parent = nullptr);
    QString text() const;
    void setText(const QString& strText);
    // Makes the box as high as this many lines of its font.
    void Set_Visible_Lines(int lngLines);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_strLineEnd = QStringLiteral("\n");
    QString m_strSet;     // the text set last, as given
    QString m_strSetRaw;  // the QTextDocument's characters right after it was set
};

// Makes a drop-down list at least as wide as it needs for the longest of these
// items, whatever it holds now: no item is cut and none touches the list's arrow.
void Fit_Combo_Width(QComboBox& list, const QStringList& items);

// Tool tips of texts that come from outside (event data, names, file contents, replies):
// shown as plain text, so a text that looks like markup shows its characters and
// renders nothing; line breaks and runs of blanks stay as they are. Every tool tip
// of such a text goes through here.
// The tool tip's own text for strText ("" stays "", so no tool tip shows).
QString Plain_Tool_Tip(const QString& strText);
// Shows strText at globalPos over pWidget while the mouse stays inside rect (widget
// coordinates; an empty rect: anywhere over the widget); "" hides any tool tip.
void Show_Plain_Tool_Tip(const QPoint& globalPos, const QString& strText, QWidget* pWidget, const QRect& rect);

// Columns that are meant to fill their list: when their widths (in pixels) together
// are no wider than the list itself but wider than the room inside its frame and
// beside the vertical scroll bar, the filler column gives up the difference, so that
// no horizontal scroll bar shows for it. Returns the filler column's width to show.
int Fitted_Filler_Width(const QAbstractScrollArea& view, const std::vector<int>& widths, size_t lngFiller);

}  // namespace platform
