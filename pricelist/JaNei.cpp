#include "pricelist/JaNei.h"

#include "common/busycursor.h"
#include "common/errorreport.h"
#include "common/windowplacement.h"

#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
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

    Label1 = new QLabel(QStringLiteral("Spørsmålet er ?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
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
    Label1->setGeometry(0, bandHeight, width(), bandHeight);
}

void TJaNeiForm::FormShow()
{
    if (InnBo)
        JaKnapp->setFocus();
    else
        NeiKnapp->setFocus();

    const WindowRect& over = WindowPlacement::instance().lastPlaced;
    const WindowRect self = outerRect(this);
    const int top = over.top + over.height / 2 - self.height / 2;
    const int left = over.left + over.width / 2 - self.width / 2;
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

    form->exec();
    return form->InnBo;
}
