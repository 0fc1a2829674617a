#include "find/finnform.h"

#include "common/errorreport.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

TFinnForm::TFinnForm(DataSource& source, std::vector<const Field*> fields, QWidget* parent)
    : QDialog(parent), finder_(source, std::move(fields))
{
    setObjectName(QStringLiteral("FinnForm"));
    setWindowTitle(QStringLiteral("Finn"));
    setModal(false);

    // The search text, its two directions and the count.
    FinnEdit = new QLineEdit(this);
    FinnEdit->setObjectName(QStringLiteral("FinnEdit"));
    auto* label = new QLabel(QStringLiteral("&Finn:"), this);
    label->setBuddy(FinnEdit);
    NesteButton = new QPushButton(QStringLiteral("&Neste"), this);
    NesteButton->setObjectName(QStringLiteral("NesteButton"));
    NesteButton->setDefault(true); // Enter
    ForrigeButton = new QPushButton(QStringLiteral("F&orrige"), this);
    ForrigeButton->setObjectName(QStringLiteral("ForrigeButton"));
    ForrigeButton->setAutoDefault(false);
    TreffLabel = new QLabel(this);
    TreffLabel->setObjectName(QStringLiteral("TreffLabel"));
    TreffLabel->setMinimumWidth(TreffLabel->fontMetrics().horizontalAdvance(QStringLiteral("0000000 av 0000000")));

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(FinnEdit, 0, 1, 1, 2);
    grid->addWidget(TreffLabel, 1, 1);
    grid->addWidget(ForrigeButton, 0, 3);
    grid->addWidget(NesteButton, 1, 3);
    grid->setColumnStretch(1, 1);

    connect(FinnEdit, &QLineEdit::textChanged, this, [this] { guarded([this] { FinnEditChange(); }); });
    connect(NesteButton, &QPushButton::clicked, this, [this] { step(true); });
    connect(ForrigeButton, &QPushButton::clicked, this, [this] { step(false); });
    auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(f3, &QShortcut::activated, this, [this] { step(true); });
    auto* shiftF3 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
    connect(shiftF3, &QShortcut::activated, this, [this] { step(false); });
}

void TFinnForm::showFind()
{
    show();
    raise();
    activateWindow();
    FinnEdit->setFocus(Qt::OtherFocusReason);
    FinnEdit->selectAll();
}

void TFinnForm::FinnEditChange()
{
    finder_.setText(FinnEdit->text());
    TreffLabel->clear();
}

void TFinnForm::step(bool forward)
{
    guarded([&] {
        if (FinnEdit->text().trimmed().isEmpty()) {
            TreffLabel->clear();
            return;
        }
        if (forward)
            finder_.next();
        else
            finder_.previous();
        TreffLabel->setText(finder_.countText());
    });
}
