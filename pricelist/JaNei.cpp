#include "pricelist/JaNei.h"

#include "common/busycursor.h"
#include "common/errorreport.h"
#include "common/windowplacement.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int designWidth = 464;
constexpr int designHeight = 116;
constexpr int bandHeight = 25;

QFont questionFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

// The form's own widths are of its client area; the question widens its outer width.
int frameWidth(const QWidget* window)
{
    return window->frameGeometry().width() - window->width();
}

// The question's label. Wrapped, it breaks a word too long for a line anywhere, so a
// product text without blanks is shown whole as well.
class QuestionLabel : public QLabel {
public:
    using QLabel::QLabel;

    int heightForWidth(int width) const override
    {
        if (!wordWrap())
            return QLabel::heightForWidth(width);
        QTextLayout layout;
        return int(std::ceil(layOut(layout, width)));
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!wordWrap()) {
            QLabel::paintEvent(event);
            return;
        }
        const QRect area = contentsRect();
        QTextLayout layout;
        const qreal height = layOut(layout, area.width());
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        layout.draw(&painter, QPointF(area.left(), area.top() + (area.height() - height) / 2));
    }

private:
    // Lays the text out in lines of the width, centred; returns the height it takes.
    qreal layOut(QTextLayout& layout, int width) const
    {
        layout.setText(text());
        layout.setFont(font());
        QTextOption option(Qt::AlignHCenter);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        qreal height = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        layout.endLayout();
        return height;
    }
};

// Where the question may lie: the available area of the screen under the centre of the
// window it is centred on.
QRect availableArea()
{
    const WindowRect& over = WindowPlacement::instance().lastPlaced;
    QScreen* screen = QGuiApplication::screenAt(QPoint(over.left + over.width / 2, over.top + over.height / 2));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// A question wider than the screen is narrowed to it (never below the design width) and
// wrapped; the dialog grows by the lines the question takes beyond the first.
void fitWidthToScreen(TJaNeiForm& form)
{
    const QRect area = availableArea();
    const int frame = frameWidth(&form);
    if (area.isEmpty() || form.width() + frame <= area.width())
        return;
    const int width = std::max(designWidth, area.width() - frame);
    form.Label1->setWordWrap(true);
    const int extra = std::max(0, form.Label1->heightForWidth(width) - bandHeight);
    form.setFixedSize(width, designHeight + extra);
    for (QPushButton* button : {form.JaKnapp, form.NeiKnapp})
        button->move(button->x(), 72 + extra);
}

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

} // namespace

TJaNeiForm::TJaNeiForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("JaNeiForm"));
    setWindowTitle(QStringLiteral("?"));
    setFixedSize(designWidth, designHeight);
    setFont(questionFont());

    // Button-face background, black text
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);

    // The empty band at the top, then the question across the whole width
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::NoFrame);

    Label1 = new QuestionLabel(QStringLiteral("Spørsmålet er ?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setTextFormat(Qt::PlainText); // a product text is never markup
    QPalette navy = Label1->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Label1->setPalette(navy);
    Label1->setFont(questionFont());

    // The answers; Nei comes first in the tab order
    NeiKnapp = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("&Nei"), this);
    NeiKnapp->setObjectName(QStringLiteral("NeiKnapp"));
    NeiKnapp->setGeometry(256, 72, 137, 25);

    JaKnapp = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("&Ja"), this);
    JaKnapp->setObjectName(QStringLiteral("JaKnapp"));
    JaKnapp->setGeometry(80, 72, 137, 25);
    JaKnapp->setDefault(true);

    setTabOrder(NeiKnapp, JaKnapp);

    connect(JaKnapp, &QPushButton::clicked, this, &TJaNeiForm::JaKnappClick);
    connect(NeiKnapp, &QPushButton::clicked, this, &TJaNeiForm::NeiKnappClick);
}

void TJaNeiForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded([this] { FormShow(); });
}

void TJaNeiForm::keyPressEvent(QKeyEvent* event)
{
    // Esc is the Nei button, not a close: closing keeps the default answer.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        NeiKnapp->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TJaNeiForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Panel1->setGeometry(0, 0, width(), bandHeight);
    Label1->setGeometry(0, bandHeight, width(), bandHeight + height() - designHeight);
}

void TJaNeiForm::FormShow()
{
    if (InnBo)
        JaKnapp->setFocus();
    else
        NeiKnapp->setFocus();

    const WindowRect& over = WindowPlacement::instance().lastPlaced;
    const WindowRect self = outerRect(this);
    int top = over.top + over.height / 2 - self.height / 2;
    int left = over.left + over.width / 2 - self.width / 2;
    // Wholly on the screen, the buttons within reach.
    if (const QRect area = availableArea(); !area.isEmpty()) {
        left = std::max(area.left(), std::min(left, area.right() + 1 - self.width));
        top = std::max(area.top(), std::min(top, area.bottom() + 1 - self.height));
    }
    move(left, top);
}

void TJaNeiForm::JaKnappClick()
{
    InnBo = true;
    close();
}

void TJaNeiForm::NeiKnappClick()
{
    InnBo = false;
    close();
}

bool askyesno(const QString& question, bool defaultAnswer)
{
    std::unique_ptr<TJaNeiForm, DeleteLater> form;
    {
        const BusyCursor busy;
        form.reset(new TJaNeiForm());
    }
    form->InnBo = defaultAnswer;
    form->Label1->setText(question);
    form->winId(); // creates the window, so the frame around it is known from here on

    const int wanted = QFontMetrics(form->font()).horizontalAdvance(question) + 50;
    if (wanted > outerRect(form.get()).width)
        form->setFixedWidth(wanted - frameWidth(form.get()));
    fitWidthToScreen(*form);

    form->exec();
    return form->InnBo;
}
