#include "platform/Controls.h"

#include "platform/TextCut.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <numeric>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QToolTip>
#include <QVariant>
#include <QWidget>
#include <QGuiApplication>

namespace platform {

QString Get_Tag(const QObject* pControl) { return pControl ? pControl->property("Tag").toString() : QString(); }

void Set_Tag(QObject* pControl, const QString& strTag) {
    if (pControl) pControl->setProperty("Tag", strTag);
}

void Keep_Whole_Characters(QLineEdit& box) {
    if (box.property("dvWholeCharacters").toBool()) return;
    box.setProperty("dvWholeCharacters", true);
    QObject::connect(&box, &QLineEdit::textChanged, &box, [pBox = &box](const QString& strText) {
        const QString strWhole = Without_Half_Characters(strText);
        if (strWhole.size() == strText.size()) return;
        const int intCursor = pBox->cursorPosition();
        pBox->setText(strWhole);
        pBox->setCursorPosition(std::min<int>(intCursor, static_cast<int>(strWhole.size())));
    });
}

static double Logical_Dpi(const QWidget* pWidget) {
    if (pWidget) return pWidget->logicalDpiX();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->logicalDotsPerInchX();
    return 96.0;
}

int Twips_To_Pixels(double dblTwips, const QWidget* pWidget) {
    return static_cast<int>(dblTwips * Logical_Dpi(pWidget) / 1440.0 + 0.5);
}

double Pixels_To_Twips(int lngPixels, const QWidget* pWidget) { return lngPixels * 1440.0 / Logical_Dpi(pWidget); }

namespace {

class Key_Press_Filter : public QObject {
public:
    Key_Press_Filter(QObject* parent, Key_Press_Handler handler) : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        int KeyAscii = 0;
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter: KeyAscii = 13; break;
            case Qt::Key_Backspace: KeyAscii = 8; break;
            case Qt::Key_Escape: KeyAscii = 27; break;
            case Qt::Key_Tab: return false;
            default: {
                const QString text = key->text();
                if (text.isEmpty()) return false;  // arrows, function keys: not a character
                KeyAscii = text.at(0).unicode();
            }
        }
        m_handler(KeyAscii);
        return KeyAscii == 0;
    }

private:
    Key_Press_Handler m_handler;
};

class Click_Filter : public QObject {
public:
    Click_Filter(QWidget* parent, Click_Handler handler) : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease) return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint())) {
            const Click_Handler handler = m_handler;  // the handler may close the control's window
            handler();
        }
        return false;
    }

private:
    Click_Handler m_handler;
};

}  // namespace

void Install_Click(QWidget* pControl, Click_Handler handler) {
    pControl->installEventFilter(new Click_Filter(pControl, std::move(handler)));
}

void Install_KeyPress(QWidget* pControl, Key_Press_Handler handler) {
    pControl->installEventFilter(new Key_Press_Filter(pControl, std::move(handler)));
}

void Port_Number_KeyPress(int& KeyAscii, const std::function<void()>& onEnter) {
    switch (KeyAscii) {
        case 13:
            KeyAscii = 0;
            if (onEnter) onEnter();
            return;
        case 8:
        case 27:
        case 35:
        case 36:
        case 37:
        case 39:
        case 45:
        case 46: return;
        default:
            if (KeyAscii < 48 || KeyAscii > 57) KeyAscii = 0;
    }
}

Text_Box::Text_Box(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Set_Visible_Lines(4);
}

QString Text_Box::text() const {
    // The document's own characters, not its plain-text conversion (which turns
    // no-break spaces into blanks and line separators into line feeds); only the
    // separator it keeps between its blocks is the line end.
    QString strRaw = document()->toRawText();
    // The box's QTextDocument keeps no line ends of its own: unedited, the text set is the text.
    if (strRaw == m_strSetRaw) return m_strSet;
    return strRaw.replace(QChar::ParagraphSeparator, m_strLineEnd);
}

void Text_Box::setText(const QString& strText) {
    // The first line end of the text (QTextDocument breaks its blocks at CR LF, LF and
    // CR alike); LF when it has none.
    m_strLineEnd = QStringLiteral("\n");
    for (qsizetype i = 0; i < strText.size(); ++i) {
        if (strText.at(i) == u'\n') break;
        if (strText.at(i) == u'\r') {
            m_strLineEnd = i + 1 < strText.size() && strText.at(i + 1) == u'\n' ? QStringLiteral("\r\n")
                                                                                : QStringLiteral("\r");
            break;
        }
    }
    setPlainText(strText);
    m_strSet = strText;
    m_strSetRaw = document()->toRawText();
    moveCursor(QTextCursor::Start);
    ensureCursorVisible();
}

void Text_Box::keyPressEvent(QKeyEvent* event) {
    const bool blnEnter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (blnEnter && !isReadOnly() && (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        // Qt makes Shift+Enter a soft line break (U+2028) inside the line; the programs
        // that show the text know no such break. Every Enter here ends the line.
        QTextCursor cursor = textCursor();
        cursor.insertBlock();
        setTextCursor(cursor);
        ensureCursorVisible();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

// Pixels of slack under the visible lines, beyond the document's margins and the frame,
// so that the last of them shows whole.
constexpr int TEXT_BOX_SLACK_PIXELS = 4;

void Text_Box::Set_Visible_Lines(int lngLines) {
    ensurePolished();
    const int intHeight = fontMetrics().lineSpacing() * lngLines + 2 * static_cast<int>(document()->documentMargin()) +
                          2 * frameWidth() + TEXT_BOX_SLACK_PIXELS;
    setFixedHeight(intHeight);
}

void Fit_Combo_Width(QComboBox& list, const QStringList& items) {
    QComboBox sample(&list);
    sample.setVisible(false);
    sample.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    sample.addItems(items);
    list.setMinimumWidth(std::max(list.minimumWidth(), sample.sizeHint().width()));
}

QString Plain_Tool_Tip(const QString& strText) {
    if (strText.isEmpty()) return QString();
    // A tool tip takes any text that might be markup as rich text; escaped inside a
    // preformatted paragraph it reads exactly as given.
    return QStringLiteral("<p style='white-space:pre'>") + strText.toHtmlEscaped() + QStringLiteral("</p>");
}

void Show_Plain_Tool_Tip(const QPoint& globalPos, const QString& strText, QWidget* pWidget, const QRect& rect) {
    if (strText.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(globalPos, Plain_Tool_Tip(strText), pWidget, rect);
}

int Fitted_Filler_Width(const QAbstractScrollArea& view, const std::vector<int>& widths, size_t lngFiller) {
    if (lngFiller >= widths.size()) return 0;
    const int intTotal = std::accumulate(widths.begin(), widths.end(), 0);
    const QScrollBar* pBar = view.verticalScrollBar();
    const Qt::ScrollBarPolicy policy = view.verticalScrollBarPolicy();
    const bool blnBar = policy == Qt::ScrollBarAlwaysOn ||
                        (policy == Qt::ScrollBarAsNeeded && pBar->maximum() > pBar->minimum());
    const int intRoom = view.width() - 2 * view.frameWidth() - (blnBar ? pBar->sizeHint().width() : 0);
    if (intTotal <= intRoom || intTotal > view.width()) return widths[lngFiller];
    return std::max(0, widths[lngFiller] - (intTotal - intRoom));
}

}  // namespace platform
