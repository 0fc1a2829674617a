#include "common/errorreport.h"
#include "common/messages.h"
#include "tests/support/qstringprint.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

TEST(ErrorReport, AddsFullStopOnlyAfterCharactersThatSortAfterIt)
{
    struct Case { const char* text; const char* shown; };
    const Case cases[] = {
        {"Key fields not found", "Key fields not found."},
        {"Ends with a stop.", "Ends with a stop."},
        {"Ends with (a parenthesis)", "Ends with (a parenthesis)"},
        {"Ends with a dash -", "Ends with a dash -"},
        {"Ends in a digit 0", "Ends in a digit 0."},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withFullStop(QString::fromUtf8(c.text)), QString::fromUtf8(c.shown)) << c.text;
}

TEST(ErrorReport, ShowsTheBoxButNeverTheSilentAbort)
{
    QList<MessageRequest> shown;
    setMessageHandler([&](const MessageRequest& r) { shown << r; return MessageAnswer::Ok; });
    guarded([] { throw SilentAbort(); });
    EXPECT_TRUE(shown.isEmpty());
    guarded([] { throw Error(QStringLiteral("MyTable: Cannot perform this operation on an empty dataset")); });
    setMessageHandler({});
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, QStringLiteral("MyTable: Cannot perform this operation on an empty dataset."));
    EXPECT_EQ(shown[0].caption, programTitle());
    EXPECT_EQ(shown[0].icon, MessageIcon::Error);
}

TEST(Messages, TheBoxShowsItsTextAsWrittenNeverAsMarkup)
{
    const QString text = QStringLiteral("Teksten kan ikke lagres: Vase <b>stor</b> <blå og hvit");
    int shownWidth = -1;
    int textWidth = 0;
    QString shownText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        label->setWordWrap(false); // measured on one line
        shownText = label->text();
        shownWidth = label->sizeHint().width();
        textWidth = QFontMetrics(label->font()).horizontalAdvance(text);
        box->accept();
    });
    showFeil(text);
    EXPECT_EQ(shownText, text);
    // Markup would hide its tags and what follows a "<": the text would be narrower.
    EXPECT_GE(shownWidth, textWidth);
}
