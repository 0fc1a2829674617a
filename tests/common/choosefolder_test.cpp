#include "common/choosefolder.h"
#include "common/platform.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct DialogCall {
    QString title;
    QString start;
};

} // namespace

TEST(ChooseFolder, ReturnsAFolderEndingInTheSeparatorOrWhatItWasGivenOnCancel)
{
    Sandbox sandbox;
    const QString sep = Platform::separator();
    const QString existing = QDir::toNativeSeparators(sandbox.root());
    const QString missing = existing + sep + QStringLiteral("finnes-ikke");

    struct Case {
        QString folder;
        std::optional<QString> chosen; // nothing: cancelled
        QString start;                 // where the dialog opens
        QString result;
    };
    const Case cases[] = {
        {missing, std::nullopt, QString(), missing + sep},
        {missing + sep, std::nullopt, QString(), missing + sep},
        {QString(), std::nullopt, QString(), QString()},
        {existing, std::nullopt, existing, existing + sep},
        {existing, existing + sep + QStringLiteral("bilder"), existing, existing + sep + QStringLiteral("bilder") + sep},
        {missing, existing, QString(), existing + sep},
        {QString(), QDir::toNativeSeparators(QDir::rootPath()), QString(), QDir::toNativeSeparators(QDir::rootPath())},
    };
    for (const Case& c : cases) {
        QList<DialogCall> calls;
        setFolderDialog([&](const QString& title, const QString& start) {
            calls << DialogCall{title, start};
            return c.chosen;
        });
        const QString result = choosefolder(c.folder);
        setFolderDialog({});
        ASSERT_EQ(calls.size(), 1) << c.folder.toStdString();
        EXPECT_EQ(calls[0].title, QStringLiteral("Valg mappe"));
        EXPECT_EQ(calls[0].start, c.start) << c.folder.toStdString();
        EXPECT_EQ(result, c.result) << c.folder.toStdString();
    }
}
